# Stages one build for the setup package, under the names the package folder holds:
#   cmake -DTREE=<build tree> -DDRIVER=<driver package folder> -DDEST=<stage folder> -P stage.cmake
# The driver package's files all go beside the programs: the INF needs what it copies from its own
# folder (a file missing there makes the device install wait on a disk prompt).
set(programs
  installer/kvrlancom_installer.exe KVRLANCOM_INSTALLER.exe
  config_tool/kvrconfig.exe kvrconfig.exe
  config_tool/kvrctl.exe kvrctl.exe
  uninstaller/kvrlancom_uninstaller.exe kvrlancom_uninstaller.exe)

file(REMOVE_RECURSE ${DEST})
file(MAKE_DIRECTORY ${DEST})
while(programs)
  list(POP_FRONT programs built shipped)
  if(NOT EXISTS ${TREE}/${built})
    message(FATAL_ERROR "${TREE}/${built} is missing: build that tree first")
  endif()
  configure_file(${TREE}/${built} ${DEST}/${shipped} COPYONLY)
endwhile()

if(NOT EXISTS ${DRIVER}/kvrlancom.INF)
  message(FATAL_ERROR "${DRIVER} holds no kvrlancom.INF")
endif()
file(GLOB driver_files LIST_DIRECTORIES false ${DRIVER}/*)
file(COPY ${driver_files} DESTINATION ${DEST})

# The uninstaller removes what the package folder holds by this list, one name a line: the driver
# package may bring files (a co-installer, a catalog) that no program knows by name. Its own file
# is not listed: it stays.
file(GLOB staged RELATIVE ${DEST} ${DEST}/*)
list(REMOVE_ITEM staged kvrlancom_uninstaller.exe)
list(SORT staged)
list(JOIN staged "\r\n" names)
file(WRITE ${DEST}/kvrlancom_setup_files.txt "${names}\r\n")

# The setup lays the files down one by one, so that one it cannot write is named
# (kvrlancom.nsi, PackageFile): <stage>/<arch>.nsh lists them.
get_filename_component(arch ${DEST} NAME)
list(APPEND staged kvrlancom_uninstaller.exe kvrlancom_setup_files.txt)
list(SORT staged)
set(lines "")
foreach(name IN LISTS staged)
  string(APPEND lines "!insertmacro PackageFile ${arch} \"${name}\"\n")
endforeach()
file(WRITE ${DEST}.nsh "${lines}")
