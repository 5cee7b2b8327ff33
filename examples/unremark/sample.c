/*
 * sample.c: a small source file with both kinds of comment.
 */
#include <stdio.h>

// Prints the ratio of two counts.
static double ratio(int a, int b)
{
    return (double)a / b; /* b is never zero here */
}

int main(void)
{
    int *p = 0;     // no target yet
    printf("%f\n", ratio(3, 4));  /* prints 0.750000 */
    puts("a // inside a string is a comment too");
    return p != 0;  /* ** stars ** close the comment: **/
}
