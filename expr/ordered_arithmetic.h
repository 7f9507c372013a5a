#pragma once

// One step of a sum and of a product: accumulator + child, accumulator *
// child. When both operands are NaN, the result carries the NaN of one of
// them, and which one depends on the order the machine instruction takes its
// operands in, which C++ leaves to the compiler. These steps pin that order,
// so the tree walk and the compiled programs, and every build of them, agree
// bit for bit: the child's NaN is the one kept. The results are otherwise the
// plain sum and product.
#if defined(__GNUC__) && defined(__x86_64__)

inline double sum_step(double accumulator, double child) {
    __asm__("addsd %1, %0" : "+x"(child) : "x"(accumulator));
    return child;
}

inline double product_step(double accumulator, double child) {
    __asm__("mulsd %1, %0" : "+x"(child) : "x"(accumulator));
    return child;
}

#else

inline double sum_step(double accumulator, double child) {
    return child + accumulator;
}

inline double product_step(double accumulator, double child) {
    return child * accumulator;
}

#endif
