#include "ZORV_Triode.h"

namespace ZORV {

void ZORV_Triode::Configure(const Constants& c, double oversampledRate)
{
    table = c.table;
    R_s = c.R_s;
    G_s = 1 / c.R_s;
    R_g = c.R_g;
    G_g = 1 / c.R_g;
    divider = c.divider;
    R_p = c.R_p;
    R_L = c.R_L;
    R_out = c.R_out;
    R_k = c.R_k;
    C_k = c.C_k;
    B = c.B;
    I_b = c.I_b;
    invKRR = c.invKRR;
    dt = 1 / oversampledRate;
    f_s = oversampledRate;
    R_eq = 1 / (C_k * f_s + 1 / R_k);
    fsCk = f_s * C_k;
    grid = MakeGridTerms(R_s, R_g);
    V_k = R_eq * c.initialIp;
    I_p = c.initialIp;
    I_g = 0;
}

void ZORV_Triode::SetRate(double oversampledRate)
{
    dt = 1 / oversampledRate;
    f_s = oversampledRate;
    R_eq = 1 / (C_k / dt + 1 / R_k);
    fsCk = f_s * C_k;
}

}  // namespace ZORV
