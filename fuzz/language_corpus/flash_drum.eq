# Isothermal flash of n-pentane, n-hexane and n-heptane in a drum: a feed
# splits into vapour and liquid at the given temperature and pressure.

const T_given = 340       # K
const P_given = 120000    # Pa
const F_given = 100       # mol/s
const mmHg = 133.322368   # Pa

# Feed mole fractions.
const z_C5 = 0.3
const z_C6 = 0.4
const z_C7 = 0.3

# Antoine's law log10(p / mmHg) = A - B / (t / degC + C), written in SI as
# ln(p / Pa) = A' - B' / (T / K + C').
const A_C5 = ln(mmHg) + ln(10)*6.87632
const B_C5 = ln(10)*1075.78
const C_C5 = 233.205 - 273.15
const A_C6 = ln(mmHg) + ln(10)*6.87601
const B_C6 = ln(10)*1171.17
const C_C6 = 224.408 - 273.15
const A_C7 = ln(mmHg) + ln(10)*6.89677
const B_C7 = ln(10)*1264.90
const C_C7 = 216.544 - 273.15

var T = T_given in [200, 600] "temperature / K"
var P = P_given in [1e3, 1e7] "pressure / Pa"
var F = F_given in [0, ] "feed flow / (mol/s)"
var V = 50 in [0, ] "vapour flow / (mol/s)"
var L = 50 in [0, ] "liquid flow / (mol/s)"
var psi = 0.5 in [0, 1] "vapour fraction V/F"

# Rough starting guesses of the K-values, as an engineer would make them.
var Psat_C5 = 2.0*P_given in [1, ] "n-pentane vapour pressure / Pa"
var K_C5 = 2.0 in [0, ] "n-pentane K-value"
var x_C5 = z_C5 in [0, 1] "n-pentane liquid mole fraction"
var y_C5 = z_C5 in [0, 1] "n-pentane vapour mole fraction"
var Psat_C6 = 0.8*P_given in [1, ] "n-hexane vapour pressure / Pa"
var K_C6 = 0.8 in [0, ] "n-hexane K-value"
var x_C6 = z_C6 in [0, 1] "n-hexane liquid mole fraction"
var y_C6 = z_C6 in [0, 1] "n-hexane vapour mole fraction"
var Psat_C7 = 0.3*P_given in [1, ] "n-heptane vapour pressure / Pa"
var K_C7 = 0.3 in [0, ] "n-heptane K-value"
var x_C7 = z_C7 in [0, 1] "n-heptane liquid mole fraction"
var y_C7 = z_C7 in [0, 1] "n-heptane vapour mole fraction"

eq T_spec: T = T_given
eq P_spec: P = P_given
eq F_spec: F = F_given

eq Antoine_C5: ln(Psat_C5) = A_C5 - B_C5/(T + C_C5)
eq K_C5: K_C5 = Psat_C5/P
eq Antoine_C6: ln(Psat_C6) = A_C6 - B_C6/(T + C_C6)
eq K_C6: K_C6 = Psat_C6/P
eq Antoine_C7: ln(Psat_C7) = A_C7 - B_C7/(T + C_C7)
eq K_C7: K_C7 = Psat_C7/P

eq Rachford_Rice: z_C5*(K_C5 - 1)/(1 + psi*(K_C5 - 1))
                + z_C6*(K_C6 - 1)/(1 + psi*(K_C6 - 1))
                + z_C7*(K_C7 - 1)/(1 + psi*(K_C7 - 1)) = 0

eq x_C5: x_C5*(1 + psi*(K_C5 - 1)) = z_C5
eq y_C5: y_C5 = K_C5*x_C5
eq x_C6: x_C6*(1 + psi*(K_C6 - 1)) = z_C6
eq y_C6: y_C6 = K_C6*x_C6
eq x_C7: x_C7*(1 + psi*(K_C7 - 1)) = z_C7
eq y_C7: y_C7 = K_C7*x_C7

eq V_split: V = psi*F
eq L_split: L = (1 - psi)*F
