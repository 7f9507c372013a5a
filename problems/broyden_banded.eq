# Broyden's banded function (More, Garbow and Hillstrom 1981, problem 31)
# with n = 10: f_i = x_i (2 + 5 x_i^2) + 1 - sum of x_j (1 + x_j) over
# j != i, max(1, i - 5) <= j <= min(n, i + 1). Standard start -1 everywhere.
const N = 10
var x[i] = -1 for i in 1..N
eq f[i]: x[i]*(2 + 5*x[i]^2) + 1 - sum(x[j]*(1 + x[j]) for j in 1..i-1)
         - x[i+1]*(1 + x[i+1]) = 0 for i in 1..6
eq f[i]: x[i]*(2 + 5*x[i]^2) + 1 - sum(x[j]*(1 + x[j]) for j in i-5..i-1)
         - x[i+1]*(1 + x[i+1]) = 0 for i in 7..N-1
eq f[N]: x[N]*(2 + 5*x[N]^2) + 1 - sum(x[j]*(1 + x[j]) for j in N-5..N-1) = 0
