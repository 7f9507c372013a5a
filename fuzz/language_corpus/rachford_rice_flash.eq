# An isothermal flash of four components with constant K-values (a textbook
# case: methane, ethane, propane, n-butane at given T and P). Unknowns: the
# vapour fraction psi and the phase compositions.
const N = 4
const z[i] = 0.1*i for i in 1..N      # 0.1, 0.2, 0.3, 0.4
const K[1] = 4.2
const K[2] = 1.75
const K[3] = 0.74
const K[4] = 0.34
var psi = 0.5 in [0, 1] "vapour fraction"
var x[i] = z[i] in [0, 1] for i in 1..N
var y[i] = z[i] in [0, 1] for i in 1..N
eq liquid[i]: x[i]*(1 + psi*(K[i] - 1)) = z[i] for i in 1..N
eq equilibrium[i]: y[i] = K[i]*x[i] for i in 1..N
eq Rachford_Rice: sum(y[i] - x[i] for i in 1..N) = 0
