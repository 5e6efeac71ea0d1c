# The section of os.tcl in a model in space, where OpenSees keeps both
# coordinates of every fiber: one line per fiber, y z area, as it cut them.
wipe
model basic -ndm 3 -ndf 6
node 1 0 0 0
node 2 0 0 0
fix 1 1 1 1 1 1 1
fix 2 0 1 1 1 0 0
uniaxialMaterial Concrete01 1 -35 -0.002 -15 -0.0033
uniaxialMaterial Steel02 2 300 215000 1e-04
section Fiber 1001 -GJ 1e12 {
patch	circ	1	47	8	0	0	0	300	0	360
layer	circ	2	12	380.1327110843649	0	0	250
}
element zeroLengthSection 1 1 2 1001
set tcl_precision 17
set data [eleResponse 1 section fiberData]
set out [open fibers.out w]
for {set i 0} {$i < [llength $data]} {incr i 5} {
  puts $out "[lindex $data $i] [lindex $data [expr {$i + 1}]] [lindex $data [expr {$i + 2}]]"
}
close $out
