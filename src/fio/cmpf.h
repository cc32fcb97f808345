// Reading the comparison prefix shared by the numeric and time operands.
#pragma once

// Skips a recognised prefix and sets *op; leaves both alone otherwise.
const char* cmpf_prefix(const char* text, unsigned flags, unsigned* op);
