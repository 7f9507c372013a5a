# Every construct: array constants, parameters, functions, outputs.
const N = 3
const A[1..3] = [6.90565, 6.95464, 6.99891]
const K[1..2, 0..1] = [[1, 2], [3.5, -4e-3]]
param Ua = 250 in [0, ] "overall heat transfer / (W/K)"
param k[i] = 0.1*i for i in 1..N
def rate(T, c) = k[1]*exp(-A[2]/T)*c
var T = 300 in [200, 600] "temperature / K"
var c[i] = 1 in [0, ] for i in 1..N
var Q
eq heat: Ua*(T - 290) = rate(T, c[1])*1e4
eq bal[i]: c[i] = max(0, tanh(c[i-1]) - min(k[i], 0.5)) for i in 2..N
eq first: c[1] = sinh(0.5) + cosh(K[2, 1])
eq hw: Q*abs(Q)^0.852 = 2 - sum(c[i] for i in 1..N)
out n[i] = exp(c[i]) "moles" for i in 1..N
out total = sum(n[i] for i in 1..N)
