// Entry point: the job takes no arguments and reads nothing but its rectangle file.
#include "job/Job.h"

int main() { RunJob(); }
