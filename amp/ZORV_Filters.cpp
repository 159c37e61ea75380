#include "ZORV_Filters.h"

namespace ZORV {

void ZORV_Shelf::Design(double fs)
{
    const double A = std::pow(10.0, -0.15000000000000002);  // -6 dB, A = 10^(gain/40)
    const double w = 3047.344873982099 / fs;                // 2 pi 485 Hz / f_s
    const double sn = std::sin(w);
    const double cs = std::cos(w);
    const double beta = std::sqrt(A) * 1.25 * sn;           // 2 sqrt(A) alpha, Q = 0.8
    const double inv = 1 / (beta + (A - 1) * cs + (A + 1));
    b0 = inv * ((beta + ((A + 1) - (A - 1) * cs)) * A);
    b1 = inv * (((A - 1) - (A + 1) * cs) * A * 2);
    b2 = inv * (((A + 1) - (A - 1) * cs - beta) * A);
    a1 = inv * (((A + 1) * cs + (A - 1)) * (-2));
    a2 = inv * ((A - 1) * cs + (A + 1) - beta);
}

const double ZORV_Lowpass10::kB[11] = {
    2.986060230881e-07,    2.98606023088095e-06,  1.34372710389643e-05, 3.583272277057145e-05,
    6.270726484850005e-05, 7.524871781820004e-05, 6.270726484850005e-05, 3.583272277057145e-05,
    1.34372710389643e-05,  2.98606023088095e-06,  2.986060230881e-07,
};
const double ZORV_Lowpass10::kA[11] = {
    1.0,                -7.462065101517344, 25.953705863951438, -55.226951986440284,
    79.4385740558465,   -80.57287798615363, 58.2889325081169,   -29.67200159997621,
    10.165729905384095, -2.1159134737703797, 0.20315746671373042,
};

}  // namespace ZORV
