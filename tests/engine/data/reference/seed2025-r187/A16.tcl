wipe
model basic -ndm 3 -ndf 6;
node 1 0.0 0.0 0.0  
node 2 0.0 0.0 0.0  
fix 1 1 1 1 1 1 1  
fix 2 0 1 1 1 0 0  
uniaxialMaterial Concrete01 1 -7.520E+001 -2.469E-003 -1.829E+000 -4.264E-003
uniaxialMaterial Steel02 2 3.767E+002 1.988E+005 3.180E-002
section	Fiber	1001	-GJ	1e12	{
fiber	-1.875E+002	-1.350E+002	6.750E+003	1
fiber	-1.125E+002	-1.350E+002	6.750E+003	1
fiber	-3.750E+001	-1.350E+002	6.750E+003	1
fiber	3.750E+001	-1.350E+002	6.750E+003	1
fiber	1.125E+002	-1.350E+002	6.750E+003	1
fiber	1.875E+002	-1.350E+002	6.750E+003	1
fiber	-1.875E+002	-4.500E+001	6.750E+003	1
fiber	-1.125E+002	-4.500E+001	6.750E+003	1
fiber	-3.750E+001	-4.500E+001	6.750E+003	1
fiber	3.750E+001	-4.500E+001	6.750E+003	1
fiber	1.125E+002	-4.500E+001	6.750E+003	1
fiber	1.875E+002	-4.500E+001	6.750E+003	1
fiber	-1.875E+002	4.500E+001	6.750E+003	1
fiber	-1.125E+002	4.500E+001	6.750E+003	1
fiber	-3.750E+001	4.500E+001	6.750E+003	1
fiber	3.750E+001	4.500E+001	6.750E+003	1
fiber	1.125E+002	4.500E+001	6.750E+003	1
fiber	1.875E+002	4.500E+001	6.750E+003	1
fiber	-1.875E+002	1.350E+002	6.750E+003	1
fiber	-1.125E+002	1.350E+002	6.750E+003	1
fiber	-3.750E+001	1.350E+002	6.750E+003	1
fiber	3.750E+001	1.350E+002	6.750E+003	1
fiber	1.125E+002	1.350E+002	6.750E+003	1
fiber	1.875E+002	1.350E+002	6.750E+003	1
fiber	-1.710E+002	0.000E+000	6.154E+002	2
fiber	1.710E+002	0.000E+000	6.154E+002	2
fiber	-1.710E+002	-1.260E+002	6.154E+002	2
fiber	1.710E+002	-1.260E+002	6.154E+002	2
fiber	1.710E+002	1.260E+002	6.154E+002	2
fiber	-1.710E+002	1.260E+002	6.154E+002	2
}
element zeroLengthSection  1   1   2  1001
pattern Plain 1 Constant {
load 2 -3.256E+006 0.0 0.0 0.0 0.0 0.0
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
recorder Node -file A16_mom_cur.out -time -node 2 -dof 6 5 disp
pattern Plain 2 Linear {
load 2 0.0 0.0 0.0 0.0 -7.071E+005 -7.071E+005
}
integrator DisplacementControl 2 6 -2.595E-007
analyze 100 
file delete A16.tcl
