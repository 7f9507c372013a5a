# Steady conduction along a thin rod that loses heat by radiation, on N
# nodes: the base (node 0) is held at T_base, the tip (node N) is insulated.
# Change N for a model of any size.

const N = 100000
const length = 0.3              # m
const diameter = 0.01           # m
const conductivity = 200        # W/(m K), aluminium
const emissivity = 0.8
const sigma = 5.670374419e-8    # W/(m2 K4)
const T_base = 600              # K
const T_ambient = 300           # K

const h = length/N
const beta = h*h*emissivity*sigma*4/(diameter*conductivity)

var T[i] = T_base in [T_ambient, T_base] "temperature / K" for i in 1..N

# T[i-1] - 2 T[i] + T[i+1] = beta (T[i]^4 - T_ambient^4), with T[0] = T_base
# and, at the insulated tip, T[N+1] = T[N-1].
eq balance[1]: T_base - 2*T[1] + T[2] = beta*(T[1]^4 - T_ambient^4)
eq balance[i]: T[i-1] - 2*T[i] + T[i+1] = beta*(T[i]^4 - T_ambient^4) for i in 2..N-1
eq balance[N]: 2*T[N-1] - 2*T[N] = beta*(T[N]^4 - T_ambient^4)
