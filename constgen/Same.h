// When two definitions of one name count as the same. constgen asks at two moments, and the
// moment decides the rule:
//
// - After evaluation (SameValue): a name defined again, in a branch of a conditional nobody
//   decided, is written only when every definition gives the same record; the summary's count of
//   definitions that "differed" uses the same rule, so that it never reports as differing what is
//   written, nor the other way round. What is computed from the name needs more: the same value
//   as an expression sees it (SameForExpressions), type included.
// - While the headers are read (SameDefinition): nothing has a value yet, since a macro's value
//   may rest on names defined later. The condition tracker must still decide on the spot whether
//   a redefinition in an undecided branch leaves the macro as later #if lines see it. Only a
//   definition identical token for token (the C standard's test for a harmless redefinition) is
//   sure to, whatever the rest of the headers define.
#pragma once
#include "Expression.h"
#include "Macros.h"

// Both give no constant, or both the same record: the same 32-bit pattern, or (values that 32
// bits do not hold, which no record shows but other names may be computed from) the same 64 bits.
bool SameValue(const Failure& failureA, IntValue a, const Failure& failureB, IntValue b);

// SameValue, and besides the same value wherever an expression uses it: the same 64 bits and the
// same type. (-1) and 0xFFFFFFFF have one record, 0xFFFFFFFF, but (A > 0) is 0 for the one and 1
// for the other: a name whose definitions agree only in their record is written, and what is
// computed from it is not.
bool SameForExpressions(const Failure& failureA, IntValue a, const Failure& failureB, IntValue b);

// The same kind of macro, the same parameters and the same body tokens.
bool SameDefinition(const Macro& a, const Macro& b);
