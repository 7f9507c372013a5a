# An adiabatic stirred-tank reactor, A to B, first order with Arrhenius
# kinetics: the heat of reaction warms the outflow. Three steady states; the
# start lies near the ignited one. SI units: mol/m3, K, J/m3.

const tau = 60                          # residence time, s
const c_A0 = 2000                       # feed concentration, mol/m3
const T0 = 330                          # feed temperature, K
const k0 = 1e10                         # 1/s
const E = 8e4                           # J/mol
const Rgas = 8.314462618
const dH = -2e5                         # J/mol
const rho_cp = 4e6                      # J/(m3 K)

var c_A = 100 in [0, ] "outlet concentration of A / (mol/m3)"
var T = 420 in [250, 800] "outlet temperature / K"
var k = 1 in [0, ] "rate constant / (1/s)"

eq arrhenius: k = k0*exp(-E/(Rgas*T))
eq mass: c_A0 - c_A = tau*k*c_A
eq heat: rho_cp*(T - T0) = -dH*tau*k*c_A
