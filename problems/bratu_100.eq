# The Bratu problem u'' + lambda exp(u) = 0, u(0) = u(1) = 0, lambda = 1, by
# central differences on N interior nodes, each equation multiplied by h^2
# (the form many test collections use). Start u = 0. The recorded solution is
# the continuous one, which the discrete one meets to O(h^2).
const N = 100
const lambda = 1
const h = 1/(N + 1)
var u[i] = 0 for i in 1..N
eq node[1]: -2*u[1] + u[2] + h^2*lambda*exp(u[1]) = 0
eq node[i]: u[i-1] - 2*u[i] + u[i+1] + h^2*lambda*exp(u[i]) = 0 for i in 2..N-1
eq node[N]: u[N-1] - 2*u[N] + h^2*lambda*exp(u[N]) = 0
