// Entry point: the job takes no arguments and reads nothing but its rectangle file.
#include "job/Job.h"
#include "job/Tables.h"
#include "platform/Host.h"

int main() {
  AdviseLargePages(&Covered, sizeof Covered);
  RunJob();
}
