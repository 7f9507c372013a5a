# Broyden's tridiagonal function (More, Garbow and Hillstrom 1981, problem
# 30) with n = 10. Standard start -1 everywhere.
const N = 10
var x[i] = -1 for i in 1..N
eq f[1]: (3 - 2*x[1])*x[1] - 2*x[2] + 1 = 0
eq f[i]: (3 - 2*x[i])*x[i] - x[i-1] - 2*x[i+1] + 1 = 0 for i in 2..N-1
eq f[N]: (3 - 2*x[N])*x[N] - x[N-1] + 1 = 0
