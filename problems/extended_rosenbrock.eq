# The extended Rosenbrock function (More, Garbow and Hillstrom 1981, problem
# 21) with n = 10. Standard start (-1.2, 1, -1.2, 1, ...); root all ones.
const N = 10
var x[i] = -0.1 + 1.1*(-1)^i for i in 1..N
eq f[2*k - 1]: 10*(x[2*k] - x[2*k - 1]^2) = 0 for k in 1..N/2
eq f[2*k]: 1 - x[2*k - 1] = 0 for k in 1..N/2
