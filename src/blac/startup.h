#pragma once
// The numerics of start-up, before any window exists.

// Power tables, sample surface, filter matrices and wavelet fit, in that order.
void RunStartupNumerics();
