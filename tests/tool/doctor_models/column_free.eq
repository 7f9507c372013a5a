# A column whose distillate rate is left unspecified: one degree of freedom.
#
# A 20-stage distillation column separating benzene (1) from toluene (2):
# MESH equations with energy balances, in SI units (mol/s, K, Pa, J/mol, W).
# Stage 1 is a partial condenser with a vapour distillate, stage N a partial
# reboiler with the liquid bottoms; the saturated-liquid feed enters stage NF.

const N = 20
const NF = 10
const F = 100                   # mol/s
const z[1] = 0.5
const z[2] = 0.5
const TF = 365                  # K
# the feed on each stage: F on stage NF, else 0 (0^0 is 1)
const Fst[j] = F*0^abs(j - NF) for j in 1..N
const P = 101325                # Pa
const reflux = 2
const Tref = 298.15             # K
# Antoine's equation, ln(Psat / Pa) = A - B/(T + C)
const A[1] = 20.7936
const B[1] = 2788.51
const C[1] = -52.36
const A[2] = 20.9064
const B[2] = 3096.52
const C[2] = -53.668
const cpL[1] = 136              # J/(mol K)
const cpL[2] = 157
const cpV[1] = 82
const cpV[2] = 104
const dHvap[1] = 30800          # J/mol
const dHvap[2] = 33200

var L[j] = 90 in [0, ] "liquid leaving stage j / (mol/s)" for j in 1..N
var V[j] = 120 in [0, ] "vapour leaving stage j / (mol/s)" for j in 1..N
var T[j] = 355 + 30*(j - 1)/(N - 1) in [300, 450] "temperature / K" for j in 1..N
var x[j, c] = 0.9 - 0.8*(j - 1)/(N - 1) + (c - 1)*(1.6*(j - 1)/(N - 1) - 0.8) in [0, 1]
    "liquid mole fraction" for j in 1..N, c in 1..2
var y[j, c] = 0.95 - 0.8*(j - 1)/(N - 1) + (c - 1)*(1.6*(j - 1)/(N - 1) - 0.9) in [0, 1]
    "vapour mole fraction" for j in 1..N, c in 1..2
var Qc = -7e6 "condenser duty / W"
var Qr = 7e6 "reboiler duty / W"

# Component balances: no vapour enters the condenser from above and no
# liquid the reboiler from below.
eq M[1, c]: V[2]*y[2, c] = L[1]*x[1, c] + V[1]*y[1, c] for c in 1..2
eq M[j, c]: L[j-1]*x[j-1, c] + V[j+1]*y[j+1, c] + Fst[j]*z[c] = L[j]*x[j, c] + V[j]*y[j, c]
    for j in 2..N-1, c in 1..2
eq M[N, c]: L[N-1]*x[N-1, c] = L[N]*x[N, c] + V[N]*y[N, c] for c in 1..2

# Equilibrium by Raoult's law, and the mole fractions' sums.
eq E[j, c]: y[j, c]*P = x[j, c]*exp(A[c] - B[c]/(T[j] + C[c])) for j in 1..N, c in 1..2
eq Sx[j]: x[j, 1] + x[j, 2] = 1 for j in 1..N
eq Sy[j]: y[j, 1] + y[j, 2] = 1 for j in 1..N

# Energy balances in W: liquid enthalpies from Tref, vapour enthalpies with
# the heat of vaporisation.
eq H[1]: V[2]*sum(y[2, c]*(cpV[c]*(T[2] - Tref) + dHvap[c]) for c in 1..2) + Qc
    = L[1]*sum(x[1, c]*cpL[c] for c in 1..2)*(T[1] - Tref)
      + V[1]*sum(y[1, c]*(cpV[c]*(T[1] - Tref) + dHvap[c]) for c in 1..2)
eq H[j]: L[j-1]*sum(x[j-1, c]*cpL[c] for c in 1..2)*(T[j-1] - Tref)
      + V[j+1]*sum(y[j+1, c]*(cpV[c]*(T[j+1] - Tref) + dHvap[c]) for c in 1..2)
      + Fst[j]*sum(z[c]*cpL[c] for c in 1..2)*(TF - Tref)
    = L[j]*sum(x[j, c]*cpL[c] for c in 1..2)*(T[j] - Tref)
      + V[j]*sum(y[j, c]*(cpV[c]*(T[j] - Tref) + dHvap[c]) for c in 1..2)
    for j in 2..N-1
eq H[N]: L[N-1]*sum(x[N-1, c]*cpL[c] for c in 1..2)*(T[N-1] - Tref) + Qr
    = L[N]*sum(x[N, c]*cpL[c] for c in 1..2)*(T[N] - Tref)
      + V[N]*sum(y[N, c]*(cpV[c]*(T[N] - Tref) + dHvap[c]) for c in 1..2)

# The set value: the reflux ratio alone.
eq reflux_ratio: L[1] = reflux*V[1]
