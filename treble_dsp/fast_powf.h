// powf(x, y) over a run of x values, with results bit for bit equal to the C
// library's powf in this process, and several times faster: the library's
// method run on four values at once.
//
// The library computes in double precision and rounds once at the end; its
// x86-64 build picks a variant with fused multiply-adds on processors with
// FMA and AVX2, whose last bit differs from the plain variant's now and then.
// Which variant this process's library runs is found out once, by comparing
// with it on inputs where the two disagree; when neither variant matches (a
// different C library), every value goes to the library itself.
#pragma once

namespace fast_powf {

// out[i] = powf(x[i], y) for 0 <= i < n. x and out may be the same array.
using PowfRun = void (*)(const float* x, float y, float* out, int n);

// The library's own powf, one call per value.
void libraryRun(const float* x, float y, float* out, int n);

// The fastest run for code built for baseline x86-64, and for code built for
// AVX2/FMA processors (only to be called on such a processor).
PowfRun baselineRun();
PowfRun avx2Run();

// Which of the library's variants the vector code reproduces here; for tests
// and the exhaustive check.
enum class Variant { None, Plain, Fused };
Variant libraryVariant();

// The vector code of one variant, whatever the library does; Fused only on a
// processor with FMA and AVX2.
void plainRun(const float* x, float y, float* out, int n);
void fusedRun(const float* x, float y, float* out, int n);

}  // namespace fast_powf
