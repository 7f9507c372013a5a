# The molar volume of carbon dioxide from the Peng-Robinson equation of state
# at 310 K and 50 bar (just above its critical temperature, near where the gas turns liquid-like), started
# from the ideal gas's volume.
const R = 8.314462618     # J/(mol K)
const T = 310             # K
const P = 50e5            # Pa
const Tc = 304.13         # K
const Pc = 73.77e5        # Pa
const omega = 0.2239
const kappa = 0.37464 + 1.54226*omega - 0.26992*omega^2
const alpha = (1 + kappa*(1 - sqrt(T/Tc)))^2
const a = 0.45724*R^2*Tc^2/Pc*alpha
const b = 0.07780*R*Tc/Pc
var V = R*T/P in [b, ] "molar volume / (m3/mol)"
eq state: P = R*T/(V - b) - a/(V^2 + 2*b*V - b^2)
