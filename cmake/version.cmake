# The package's version, kept here alone: the uninstall entry's DisplayVersion and the version of the
# setup packages come from it. The programs' own version resources keep their fixed numbers.
# A build can be given another (-DKVR_VERSION=1.0.2.0), e.g. to make a newer package over an older.
set(KVR_VERSION "1.0.1.4" CACHE STRING "The package's version: major.minor.build.revision")
if(NOT KVR_VERSION MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "KVR_VERSION must be four numbers joined by dots, not \"${KVR_VERSION}\"")
endif()
