# Brown's almost-linear function (More, Garbow and Hillstrom 1981, problem
# 27) with n = 10. Standard start 0.5 everywhere; root all ones (the others,
# (a, ..., a, a^(1 - n)), are not sought).
const N = 10
var x[i] = 0.5 for i in 1..N
eq f[i]: x[i] + sum(x[j] for j in 1..N) - (N + 1) = 0 for i in 1..N-1
eq f[10]: x[1]*x[2]*x[3]*x[4]*x[5]*x[6]*x[7]*x[8]*x[9]*x[10] - 1 = 0
