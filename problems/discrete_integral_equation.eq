# The discrete integral equation function (More, Garbow and Hillstrom 1981,
# problem 29) with n = 10: the boundary value problem of
# discrete_boundary_value written as an integral equation and discretised by
# the trapezoidal rule. Standard start t (t - 1).
const N = 10
const h = 1/(N + 1)
const t[i] = i*h for i in 1..N
var x[i] = t[i]*(t[i] - 1) for i in 1..N
eq f[i]: x[i] + h/2*((1 - t[i])*sum(t[j]*(x[j] + t[j] + 1)^3 for j in 1..i)
                     + t[i]*sum((1 - t[j])*(x[j] + t[j] + 1)^3 for j in i+1..N)) = 0
         for i in 1..N
