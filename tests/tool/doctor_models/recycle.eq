# A reactor and separator with a recycle: A reacts to B; the separator takes
# B out as product and returns A and the inert I, of which a share is purged.
# Flows of A, B and I (c = 1, 2, 3) in mol/s.

const feed[1] = 10              # mol/s
const feed[2] = 0
const feed[3] = 0.5
const conversion = 0.6
const purge_share = 0.05
# the share of each component that leaves as product
const recovery[1] = 0
const recovery[2] = 1
const recovery[3] = 0

var mix[c] = 10 in [0, ] "reactor feed / (mol/s)" for c in 1..3
var outlet[c] = 10 in [0, ] "reactor outlet / (mol/s)" for c in 1..3
var product[c] = 5 in [0, ] "product / (mol/s)" for c in 1..3
var light[c] = 5 in [0, ] "separator overhead / (mol/s)" for c in 1..3
var purge[c] = 0.5 in [0, ] "purge / (mol/s)" for c in 1..3
var rec[c] = 5 in [0, ] "recycle / (mol/s)" for c in 1..3

eq mixer[c]: mix[c] = feed[c] + rec[c] for c in 1..3
eq reactor[1]: outlet[1] = (1 - conversion)*mix[1]
eq reactor[2]: outlet[2] = mix[2] + conversion*mix[1]
eq reactor[3]: outlet[3] = mix[3]
eq separator[c]: product[c] = recovery[c]*outlet[c] for c in 1..3
eq overhead[c]: light[c] = outlet[c] - product[c] for c in 1..3
eq purge_split[c]: purge[c] = purge_share*light[c] for c in 1..3
eq recycle[c]: rec[c] = light[c] - purge[c] for c in 1..3
