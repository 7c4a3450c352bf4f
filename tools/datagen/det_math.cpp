#include "det_math.h"

#include <cmath>
#include <limits>

namespace det {

namespace {

// pi/2 in three parts, the first two of 33 bits, so that n times either is
// exact for any quadrant count n below 2^20.
constexpr double kPio2Hi = 0x1.921fb54400000p+0, kPio2Mid = 0x1.0b4611a600000p-34, kPio2Lo = 0x1.3198a2e037073p-69;
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;
// ln 2 in two parts, the first of 32 bits.
constexpr double kLn2Hi = 0x1.62e42fee00000p-1, kLn2Lo = 0x1.a39ef35793c76p-33;
constexpr double kOneOverLn2 = 0x1.71547652b82fep+0;

// x less the nearest multiple n of pi/2, |r| <= pi/4, and n's quadrant.
double reduce(double x, int& quadrant) {
    const double n = std::floor(x * kTwoOverPi + 0.5);
    quadrant = static_cast<int>(static_cast<long long>(n) & 3);
    return ((x - n * kPio2Hi) - n * kPio2Mid) - n * kPio2Lo;
}

// Taylor series on |r| <= pi/4: the terms past the last are below 1e-27.
double sinKernel(double r) {
    const double r2 = r * r;
    double sum = 0;
    for (int k = 23; k >= 3; k -= 2) sum = (sum + 1) * r2 / -((k - 1.0) * k);
    return r + r * sum;
}

double cosKernel(double r) {
    const double r2 = r * r;
    double sum = 0;
    for (int k = 22; k >= 2; k -= 2) sum = (sum + 1) * r2 / -((k - 1.0) * k);
    return 1 + sum;
}

// atan on 0 <= t <= 1: pi/4 off the upper half, two halvings of the
// angle, then the series on |t| < 0.1.
double atanUnit(double t) {
    double base = 0;
    if (t > 0.41421356237309503) {
        base = kPi / 4;
        t = (t - 1) / (t + 1);
    }
    for (int i = 0; i < 2; ++i) t = t / (1 + std::sqrt(1 + t * t));
    const double t2 = t * t;
    double sum = 0;
    for (int k = 31; k >= 3; k -= 2) sum = sum * -t2 + 1.0 / k;
    return base + 4 * (t - t * t2 * sum);
}

}  // namespace

double sin(double x) {
    int q;
    const double r = reduce(x, q);
    switch (q) {
        case 0: return sinKernel(r);
        case 1: return cosKernel(r);
        case 2: return -sinKernel(r);
        default: return -cosKernel(r);
    }
}

double cos(double x) {
    int q;
    const double r = reduce(x, q);
    switch (q) {
        case 0: return cosKernel(r);
        case 1: return -sinKernel(r);
        case 2: return -cosKernel(r);
        default: return sinKernel(r);
    }
}

double exp(double x) {
    if (x > 709) return std::numeric_limits<double>::infinity();
    if (x < -745) return 0;
    const double k = std::floor(x * kOneOverLn2 + 0.5);
    const double r = (x - k * kLn2Hi) - k * kLn2Lo;  // |r| <= ln 2 / 2
    double sum = 1;
    for (int n = 17; n >= 1; --n) sum = 1 + sum * r / n;
    return std::ldexp(sum, static_cast<int>(k));
}

double log(double x) {
    int e;
    double m = std::frexp(x, &e);  // x = m 2^e, 0.5 <= m < 1
    if (m < 0.70710678118654752) m *= 2, --e;
    // log m = 2 atanh(s), |s| < 0.172
    const double s = (m - 1) / (m + 1), s2 = s * s;
    double sum = 0;
    for (int k = 29; k >= 3; k -= 2) sum = sum * s2 + 1.0 / k;
    return e * kLn2Hi + (e * kLn2Lo + 2 * (s + s * s2 * sum));
}

double pow(double x, double y) {
    if (x < 0) return std::numeric_limits<double>::quiet_NaN();
    if (x == 0) return y > 0 ? 0 : y == 0 ? 1 : std::numeric_limits<double>::infinity();
    return exp(y * log(x));
}

double atan2(double y, double x) {
    if (x == 0 && y == 0) return 0;
    const double ax = std::fabs(x), ay = std::fabs(y);
    double a = ay <= ax ? atanUnit(ay / ax) : kPi / 2 - atanUnit(ax / ay);
    if (x < 0) a = kPi - a;
    return y < 0 ? -a : a;
}

double tanh(double x) {
    if (x > 20) return 1;
    if (x < -20) return -1;
    const double e = exp(2 * x);
    return (e - 1) / (e + 1);
}

double hypot(double x, double y) { return std::sqrt(x * x + y * y); }

}  // namespace det
