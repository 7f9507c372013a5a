# The Colebrook equation for the Darcy friction factor of turbulent flow in a
# rough pipe, at Re = 1e5 and relative roughness 1e-4. Start f = 0.01.
const Re = 1e5
const roughness = 1e-4
var f = 0.01 in [1e-4, 1] "Darcy friction factor"
eq Colebrook: f^-0.5 = -2*log(roughness/3.7 + 2.51/(Re*sqrt(f)))
