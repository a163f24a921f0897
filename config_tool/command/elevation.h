// Whether this process runs with administrator rights in force (elevated), as writes to
// HKEY_LOCAL_MACHINE and device setup need.
#pragma once

bool RunsElevated();
