#pragma once

namespace plugkit {

// Convert n samples between the host's 64-bit and the plug-in's 32-bit
// format; narrowing rounds to nearest. n of 0 or less does nothing.
void CastCopyFloatToDouble(double* dst, const float* src, int n);
void CastCopyDoubleToFloat(float* dst, const double* src, int n);

} // namespace plugkit
