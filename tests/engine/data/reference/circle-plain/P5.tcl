wipe
model basic -ndm 2 -ndf 3;
node 1 0.0 0.0  
node 2 0.0 0.0  
fix 1 1 1 1  
fix 2 0 1 0  
uniaxialMaterial Concrete01 1 -35 -0.002 -15 -0.0033
uniaxialMaterial Steel02 2 300 215000 1e-04
section	Fiber	1001	{
patch	circ	1	47	8	0	0	0	300	0	360
layer	circ	2	12	380.1327110843649	0	0	250
}
element zeroLengthSection  1   1   2  1001
pattern Plain 1 Constant {
load 2 -1158116.7158193414 0.0 0.0
}
integrator LoadControl 0.1
system SparseGeneral -piv;
test EnergyIncr 1e-10 200
numberer Plain
constraints Plain
algorithm Newton
analysis Static
analyze 10
loadConst -time 0.0
recorder Node -file P5_mom_cur.out -time -node 2 -dof 3 disp
pattern Plain 2 Linear {
load 2 0.0 0.0 1e6
}
integrator DisplacementControl 2 3 4.0000000000000003e-07
analyze 100 
file delete P5.tcl
