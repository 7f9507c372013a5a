# The discrete boundary value function (More, Garbow and Hillstrom 1981,
# problem 28) with n = 10: u'' = (u + t + 1)^3 / 2, u(0) = u(1) = 0, by
# central differences. Standard start t (t - 1).
const N = 10
const h = 1/(N + 1)
const t[i] = i*h for i in 0..N+1
var x[i] = t[i]*(t[i] - 1) for i in 1..N
eq f[1]: 2*x[1] - x[2] + h^2*(x[1] + t[1] + 1)^3/2 = 0
eq f[i]: 2*x[i] - x[i-1] - x[i+1] + h^2*(x[i] + t[i] + 1)^3/2 = 0 for i in 2..N-1
eq f[N]: 2*x[N] - x[N-1] + h^2*(x[N] + t[N] + 1)^3/2 = 0
