// The generator's own elementary functions. The C runtimes differ in the
// last bits of sin, cos, exp and the rest (glibc against Windows' MSVCRT,
// say), and the generator's output must not: these are computed from
// additions, multiplications, divisions and square roots alone, which IEEE
// arithmetic rounds the same everywhere, so every build writes the same
// bytes. Each is within a few units in the last place of the true value.
#pragma once

namespace det {

constexpr double kPi = 0x1.921fb54442d18p+1;

double sin(double x);
double cos(double x);
double exp(double x);
double log(double x);                 // x > 0
double pow(double x, double y);       // x >= 0; NaN for a negative x
double atan2(double y, double x);
double tanh(double x);
double hypot(double x, double y);

}  // namespace det
