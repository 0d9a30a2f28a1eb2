// The job: read the rectangle file, compute the covered area, write the result file, end.
#pragma once

// Never returns: the process ends through ProcessEnd, normally or by a run-time error stop.
[[noreturn]] void RunJob();
