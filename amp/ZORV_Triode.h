#pragma once
// One common-cathode triode gain stage at the oversampled rate: grid network, grid
// conduction above the cathode, cathode resistor with bypass capacitor, and the plate
// current read from the stage's transfer table.

#include <cmath>

#include "ZORV_Inline.h"

namespace ZORV {

class ZORV_Triode {
public:
    virtual ~ZORV_Triode() = default;

    // Stage constants, in SI units; sets the initial operating point at the given rate.
    struct Constants {
        const double* table;
        double R_s, R_g, divider, R_p, R_L, R_out, R_k, C_k, B, I_b, initialIp, invKRR;
    };
    void Configure(const Constants& c, double oversampledRate);
    // Rate change: the companion resistance follows, the state stays.
    void SetRate(double oversampledRate);

    // Stages 1, 3 and 4 (fixed grid network). u: the previous stage's output node, V.
    ZORV_INLINE double Process(double u);
    // Stage 2, through the drive-controlled grid network.
    ZORV_INLINE double ProcessDriven(double u);

    const double* table = nullptr;  // not owned
    int lastIndex = 1399;           // entry used below the table's range
    double R_s = 0, G_s = 0;
    double R_p = 0;
    double R_g = 0, G_g = 0;
    double R_L = 0;
    double R_k = 0;
    double pot = 1000000, R_upper = 0, R_lower = 0, R_s2 = 0, R_g2 = 0, G_s2 = 0, G_g2 = 0;
    double C_k = 0;
    double B = 0;
    double V_k = 0;   // cathode voltage
    double V_gk = 0;  // grid-to-cathode voltage of the latest sample
    double I_p = 0;   // plate current of the latest sample
    double I_g = 0;   // grid current of the latest sample
    double I_b = 0;   // B / R_p
    double R_eq = 0;  // 1 / (C_k f_s + 1/R_k)
    double R_out = 0; // R_p || R_L
    double dt = 0, f_s = 0;
    double vgkMax = 4.0, vgkMin = -10.0;
    double divider = 0;
    double k = 1.96896589e-07, m = 1.746257931e-05;  // grid current k (V_g-V_k)^2 + m (V_g-V_k)
    double invKRR = 0, invKRR2 = 0;

    // Derived once per rate or drive setting: f_s C_k, and the constant factors of the
    // grid-conduction root for the fixed and for the drive-controlled network.
    struct GridTerms {
        double c0 = 0, kV1 = 0, c1 = 0, kV2 = 0, kU = 0, kV3 = 0, c2 = 0;
    };
    double fsCk = 0;
    GridTerms grid, grid2;
    // Call after R_s2 and R_g2 change.
    void UpdateDrivenGrid() { grid2 = MakeGridTerms(R_s2, R_g2); }

    // Plate current from the table, interpolated; clamped at both ends of the range.
    ZORV_INLINE double PlateCurrent(double vgk) const;

private:
    GridTerms MakeGridTerms(double a, double b) const;
    // Grid voltage while the grid conducts.
    ZORV_INLINE double GridVoltage(double u, const GridTerms& g, double invKRRab) const;
};

inline ZORV_Triode::GridTerms ZORV_Triode::MakeGridTerms(double a, double b) const
{
    // The constant leading factors of the root below, in the same order of operations, so
    // that GridVoltage gives the same bits as the full expression.
    GridTerms g;
    g.c0 = (2 * a * m + 1) * b * b + 2 * a * b;
    g.kV1 = 4 * k * a * b * b;
    g.c1 = (m * m * b * b + 2 * b * m + 1) * a * a;
    g.kV2 = 4 * a * a * k * b;
    g.kU = 4 * k * b * b * a;
    g.kV3 = 2 * k * a * b;
    g.c2 = (b * m + 1) * a + b;
    return g;
}

ZORV_INLINE double ZORV_Triode::GridVoltage(double u, const GridTerms& g, double invKRRab) const
{
    // Balance (u - V_g)/a = V_g/b + k (V_g - V_k)^2 + m (V_g - V_k), root above V_k:
    // D = (2am + 1) b^2 + 2ab - 4kab^2 V_k + (m^2 b^2 + 2bm + 1) a^2 - 4a^2 kb V_k + 4kb^2 a u,
    // V_g = (sqrt(D) + 2kab V_k - ((bm + 1) a + b)) / (k a b) / 2.
    double D = g.c0 - g.kV1 * V_k + g.c1 - g.kV2 * V_k + g.kU * u;
    // Positive whenever the grid conducts; only rounding at absurd levels makes it negative.
    if (!(D > 0.0))
        D = 0.0;
    return (std::sqrt(D) + g.kV3 * V_k - g.c2) * invKRRab * 0.5;
}

ZORV_INLINE double ZORV_Triode::PlateCurrent(double vgk) const
{
    // Written so that a NaN lands on entry 0 rather than indexing outside the table.
    if (!(vgk < vgkMax))
        return table[0];
    if (!(vgk > vgkMin))
        return table[lastIndex];
    double pos = std::fabs((vgkMax - vgk) * 100);
    int i = static_cast<int>(pos);  // pos > 0: truncation is the floor
    if (i > lastIndex)              // guards rounding at the lower edge
        i = lastIndex;
    return (pos - i) * (table[i + 1] - table[i]) + table[i];
}

ZORV_INLINE double ZORV_Triode::Process(double u)
{
    V_k = (fsCk * V_k + I_g + I_p) * R_eq;  // fsCk = f_s * C_k
    const double u1 = u + 1e-24;
    V_gk = divider * u1 + 1e-24 - V_k;
    I_g = 0;
    if (V_gk > 0) {
        const double V_g = GridVoltage(u1, grid, invKRR);
        I_g = (u1 - V_g) * G_s - G_g * V_g;
        V_gk = V_g - V_k;
    }
    I_p = PlateCurrent(V_gk);
    return (I_b - I_p) * R_out + 1e-24;
}

ZORV_INLINE double ZORV_Triode::ProcessDriven(double u)
{
    V_k = (fsCk * V_k + I_g + I_p) * R_eq;  // fsCk = f_s * C_k
    const double u1 = u + 1e-24;
    V_gk = divider * u1 - V_k;
    I_g = 0;
    if (V_gk > 0) {
        const double V_g = GridVoltage(u1, grid2, invKRR2);
        I_g = (u1 - V_g) * G_s2 - G_g2 * V_g;
        V_gk = V_g - V_k;
    }
    I_p = PlateCurrent(V_gk);
    return (I_b - I_p) * R_out + 1e-24;
}

}  // namespace ZORV
