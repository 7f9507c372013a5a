# The extended Powell singular function (More, Garbow and Hillstrom 1981,
# problem 22) with n = 8. Standard start (3, -1, 0, 1, 3, -1, 0, 1); root the
# origin, with a singular Jacobian there.
const M = 2
var x[4*k - 3] = 3 for k in 1..M
var x[4*k - 2] = -1 for k in 1..M
var x[4*k - 1] = 0 for k in 1..M
var x[4*k] = 1 for k in 1..M
eq f[4*k - 3]: x[4*k - 3] + 10*x[4*k - 2] = 0 for k in 1..M
eq f[4*k - 2]: sqrt(5)*(x[4*k - 1] - x[4*k]) = 0 for k in 1..M
eq f[4*k - 1]: (x[4*k - 2] - 2*x[4*k - 1])^2 = 0 for k in 1..M
eq f[4*k]: sqrt(10)*(x[4*k - 3] - x[4*k])^2 = 0 for k in 1..M
