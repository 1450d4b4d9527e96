#pragma once

namespace tarvex {

// The help text of a parameter: its tooltip and, on hover or click, the
// body of the help strip. Empty for an index outside the table.
const char* ParamHelpText(int paramIdx);

// The caption drawn with a parameter's control.
const char* ParamControlLabel(int paramIdx);

} // namespace tarvex
