# A 20-stage distillation column separating benzene (1) from toluene (2) at
# atmospheric pressure, written stage by stage as engineers write it: mass,
# equilibrium, summation and heat balances (MESH), flows in mol/s, pressures
# in Pa, temperatures in K, enthalpies in J/mol and duties in W. Stage 1 is
# the top tray under a total condenser, stage 20 the partial reboiler; the
# feed enters stage 10 as liquid at its bubble point. The mistake: the
# distillate target is replaced by the overall balance, which the
# stage balances already imply, so the distillate is left free.

const N = 20
const f = 10                            # feed stage
const F = 100                           # feed, mol/s
const zF = 0.4                          # feed benzene fraction
const TF = 368.0                        # feed temperature, K
const P = 101325                        # Pa
const R = 2.0                           # reflux ratio
const D_spec = 30                       # distillate, mol/s
const mmHg = 133.322368                 # Pa

# Antoine's law log10(p / mmHg) = A - B / (t / degC + C), in SI.
const A1 = ln(mmHg) + ln(10)*6.90565
const B1 = ln(10)*1211.033
const C1 = 220.79 - 273.15
const A2 = ln(mmHg) + ln(10)*6.95464
const B2 = ln(10)*1344.8
const C2 = 219.482 - 273.15

# Liquid heat capacities (J/(mol K)) and heats of vaporisation (J/mol),
# enthalpies from liquid at 298.15 K.
const cp1 = 136
const cp2 = 157
const dH1 = 30800
const dH2 = 33200
const T0 = 298.15
const hF = (zF*cp1 + (1 - zF)*cp2)*(TF - T0)

var L[j] = 60 in [0, ] "liquid leaving stage j / (mol/s)" for j in 1..f-1
var L[j] = 160 in [0, ] "liquid leaving stage j / (mol/s)" for j in f..N
var V[j] = 90 in [0, ] "vapour leaving stage j / (mol/s)" for j in 1..N
var x[j] = 0.4 in [0, 1] "benzene fraction in the liquid" for j in 1..N
var y[j] = 0.6 in [0, 1] "benzene fraction in the vapour" for j in 1..N
var T[j] = 370 in [250, 500] "stage temperature / K" for j in 1..N
var Lr = 60 in [0, ] "reflux / (mol/s)"
var D = 30 in [0, ] "distillate / (mol/s)"
var TD = 360 in [250, 500] "condensate temperature / K"
var Qc = 3e6 in [0, ] "condenser duty / W"
var Qr = 3e6 in [0, ] "reboiler duty / W"

# Mass balances, total and of benzene: stage 1 takes the reflux (of the
# distillate's composition, y[1]), stage f the feed, stage N no vapour from below.
eq total[1]: Lr + V[2] = L[1] + V[1]
eq total[j]: L[j-1] + V[j+1] = L[j] + V[j] for j in 2..f-1
eq total[f]: L[f-1] + V[f+1] + F = L[f] + V[f]
eq total[j]: L[j-1] + V[j+1] = L[j] + V[j] for j in f+1..N-1
eq total[N]: L[N-1] = L[N] + V[N]
eq light[1]: Lr*y[1] + V[2]*y[2] = L[1]*x[1] + V[1]*y[1]
eq light[j]: L[j-1]*x[j-1] + V[j+1]*y[j+1] = L[j]*x[j] + V[j]*y[j] for j in 2..f-1
eq light[f]: L[f-1]*x[f-1] + V[f+1]*y[f+1] + F*zF = L[f]*x[f] + V[f]*y[f]
eq light[j]: L[j-1]*x[j-1] + V[j+1]*y[j+1] = L[j]*x[j] + V[j]*y[j] for j in f+1..N-1
eq light[N]: L[N-1]*x[N-1] = L[N]*x[N] + V[N]*y[N]

# Equilibrium with Raoult's K-values, and the bubble point that sets T.
eq equilibrium[j]: y[j] = x[j]*exp(A1 - B1/(T[j] + C1))/P for j in 1..N
eq bubble[j]: x[j]*exp(A1 - B1/(T[j] + C1))/P + (1 - x[j])*exp(A2 - B2/(T[j] + C2))/P = 1 for j in 1..N

# Heat balances in W.
eq heat[1]: Lr*(y[1]*cp1 + (1 - y[1])*cp2)*(TD - T0) + V[2]*((y[2]*cp1 + (1 - y[2])*cp2)*(T[2] - T0) + y[2]*dH1 + (1 - y[2])*dH2) = L[1]*(x[1]*cp1 + (1 - x[1])*cp2)*(T[1] - T0) + V[1]*((y[1]*cp1 + (1 - y[1])*cp2)*(T[1] - T0) + y[1]*dH1 + (1 - y[1])*dH2)
eq heat[j]: L[j-1]*(x[j-1]*cp1 + (1 - x[j-1])*cp2)*(T[j-1] - T0) + V[j+1]*((y[j+1]*cp1 + (1 - y[j+1])*cp2)*(T[j+1] - T0) + y[j+1]*dH1 + (1 - y[j+1])*dH2) = L[j]*(x[j]*cp1 + (1 - x[j])*cp2)*(T[j] - T0) + V[j]*((y[j]*cp1 + (1 - y[j])*cp2)*(T[j] - T0) + y[j]*dH1 + (1 - y[j])*dH2) for j in 2..f-1
eq heat[f]: L[f-1]*(x[f-1]*cp1 + (1 - x[f-1])*cp2)*(T[f-1] - T0) + V[f+1]*((y[f+1]*cp1 + (1 - y[f+1])*cp2)*(T[f+1] - T0) + y[f+1]*dH1 + (1 - y[f+1])*dH2) + F*hF = L[f]*(x[f]*cp1 + (1 - x[f])*cp2)*(T[f] - T0) + V[f]*((y[f]*cp1 + (1 - y[f])*cp2)*(T[f] - T0) + y[f]*dH1 + (1 - y[f])*dH2)
eq heat[j]: L[j-1]*(x[j-1]*cp1 + (1 - x[j-1])*cp2)*(T[j-1] - T0) + V[j+1]*((y[j+1]*cp1 + (1 - y[j+1])*cp2)*(T[j+1] - T0) + y[j+1]*dH1 + (1 - y[j+1])*dH2) = L[j]*(x[j]*cp1 + (1 - x[j])*cp2)*(T[j] - T0) + V[j]*((y[j]*cp1 + (1 - y[j])*cp2)*(T[j] - T0) + y[j]*dH1 + (1 - y[j])*dH2) for j in f+1..N-1
eq heat[N]: L[N-1]*(x[N-1]*cp1 + (1 - x[N-1])*cp2)*(T[N-1] - T0) + Qr = L[N]*(x[N]*cp1 + (1 - x[N])*cp2)*(T[N] - T0) + V[N]*((y[N]*cp1 + (1 - y[N])*cp2)*(T[N] - T0) + y[N]*dH1 + (1 - y[N])*dH2)

# The total condenser: the vapour from stage 1 condenses to its bubble point.
eq condenser: V[1] = Lr + D
eq condensate: y[1]*exp(A1 - B1/(TD + C1))/P + (1 - y[1])*exp(A2 - B2/(TD + C2))/P = 1
eq condenser_duty: Qc = V[1]*((y[1]*cp1 + (1 - y[1])*cp2)*(T[1] - T0) + y[1]*dH1 + (1 - y[1])*dH2) - V[1]*(y[1]*cp1 + (1 - y[1])*cp2)*(TD - T0)

# Set values: the reflux ratio, and the overall balance in place of the distillate's.
eq reflux: Lr = R*D
eq overall: F = D + L[N]
