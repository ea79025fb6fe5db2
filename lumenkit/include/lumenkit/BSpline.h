// A uniform cubic B-spline evaluator over a precomputed basis table of 1024 rows, filled
// when the library loads.
#pragma once

// Four floats: bspline_d copies the basis row of a parameter here.
extern float* g_dd;

// Evaluates the current segment (the four control points makeBS chose last) at t in 0..1;
// t outside that range uses the first or last row. The result is kept as the current point.
void bspline(float t);
// Copies the four basis values of t's row to g_dd.
void bspline_d(float t);
// Evaluates the curve of `count` control points (xs[i], ys[i]) whose segment i ends at
// knots[i] at `time`, wrapping the time around the curve's length; writes outX, outY.
// Inputs that cannot form a segment (fewer than 5 points, a length below 1) write nothing.
void makeBS(int count, float* xs, float* ys, float* knots, int time, float& outX, float& outY);
// Does nothing.
void DrawBS(int count, float* xs, float* ys);
