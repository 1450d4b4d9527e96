#pragma once

#include <cstddef>

namespace tarvex {

// The unit the editor shows and accepts for a parameter: the table's unit,
// except that every Q reads "Q".
const char* EditorParamUnit(int paramIdx);

// The value as a text with that many decimals shows it. A unit or a
// precision is chosen by this value, so 999.5 Hz, which reads 1000, moves to
// kHz instead of showing "1000 Hz".
double ShownValue(double value, int decimals);

// The display text of a plain value in the parameter's unit.
void FormatParamValue(int paramIdx, double value, char* text, std::size_t size);

// Reads a typed value with an optional unit suffix ("2k", "250ms", "12 dB").
// False, leaving `out` alone, for no number, a non-finite one, a foreign
// unit or a value outside the parameter's range.
bool ParseParamValue(int paramIdx, const char* text, double& out);

} // namespace tarvex
