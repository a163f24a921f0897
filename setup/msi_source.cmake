# Writes the WiX source of one Windows Installer package from a staged build (stage.cmake), so that
# every file staged is packed without the source naming it:
#   cmake -DSTAGE=<stage/arch> -DARCH=<x86|x64> -DVERSION=<a.b.c.d> -DUPGRADE_CODE=<guid>
#         -DACTIONS_DLL=<kvrlancom_msi_actions.dll> -DICON=<.ico> -DOUT=<.wxs> -P msi_source.cmake
# Component and product codes are derived from fixed names, so a rebuild gives the same codes:
# a component keeps its code from version to version; the product code is one per version and
# architecture (what a deployment tool detects).
set(namespace 89A06157-8B19-48F0-A508-C798DAF5D0CC)
function(derived_guid out name)
  string(UUID guid NAMESPACE ${namespace} NAME "${ARCH}/${name}" TYPE SHA1 UPPER)
  set(${out} ${guid} PARENT_SCOPE)
endfunction()

foreach(needed STAGE ARCH VERSION UPGRADE_CODE ACTIONS_DLL ICON OUT)
  if(NOT DEFINED ${needed})
    message(FATAL_ERROR "msi_source.cmake: -D${needed}=... is needed")
  endif()
endforeach()
# The Windows Installer's ProductVersion: major and minor up to 255, build up to 65535 (the fourth
# number is kept but not compared).
string(REPLACE "." ";" fields "${VERSION}")
list(GET fields 0 major)
list(GET fields 1 minor)
list(GET fields 2 build)
if(major GREATER 255 OR minor GREATER 255 OR build GREATER 65535)
  message(FATAL_ERROR "Version ${VERSION} does not fit a Windows Installer package (at most 255.255.65535.x)")
endif()
if(NOT EXISTS ${ACTIONS_DLL})
  message(FATAL_ERROR "${ACTIONS_DLL} is missing: build that tree first")
endif()

if(ARCH STREQUAL "x64")
  set(WIN64 " Win64=\"yes\"")
  set(PLATFORM_CONDITION "VersionNT64")
  set(PLATFORM_MESSAGE "This package is for 64-bit Windows. On 32-bit Windows install kvrlancom.msi.")
else()
  set(WIN64 "")
  set(PLATFORM_CONDITION "NOT VersionNT64")
  set(PLATFORM_MESSAGE "This package is for 32-bit Windows. On 64-bit Windows install kvrlancom-x64.msi.")
endif()
# wixl takes a source file's path relative to the .wxs file's folder only.
get_filename_component(out_dir ${OUT} DIRECTORY)
file(RELATIVE_PATH ICON ${out_dir} ${ICON})
file(RELATIVE_PATH ACTIONS_DLL ${out_dir} ${ACTIONS_DLL})
derived_guid(PRODUCT_CODE "product/${VERSION}")
derived_guid(KELVARO_MENU_GUID "start menu/KELVARO")
derived_guid(PROGRAMS_FOLDER_GUID "start menu/KELVARO/KvrLanCom")
derived_guid(MANUAL_FOLDER_GUID "start menu/KELVARO/KvrLanCom/Manual")

# The shortcuts the setup makes, each with the file it starts. The working directory is the package
# folder: the configuration tool's "Add Port" takes the INF from there.
set(shortcut_files kvrconfig.exe
  "Quick Reference for Ethernet installation english.pdf" "Quick Reference for Ethernet installation korean.pdf")
set(shortcut_folders PROGRAMSFOLDER MANUALFOLDER MANUALFOLDER)
set(shortcut_names "Configuration Tool.lnk" "Quick manual - english.lnk" "Quick manual - korea.lnk")

file(GLOB staged LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(SORT staged)
set(FILE_COMPONENTS "")
set(COMPONENT_REFS "")
set(manual_shortcuts OFF)
set(index 0)
foreach(name IN LISTS staged)
  math(EXPR index "${index} + 1")
  derived_guid(guid "package folder/${name}")
  string(REGEX REPLACE "[^A-Za-z0-9_.]" "_" id "${name}")
  string(SUBSTRING "${id}" 0 60 id)
  set(id "F${index}_${id}")
  file(RELATIVE_PATH source ${out_dir} "${STAGE}/${name}")
  string(REPLACE "&" "&amp;" source "${source}")
  set(shortcut "")
  list(FIND shortcut_files "${name}" shortcut_index)
  if(shortcut_index GREATER_EQUAL 0)
    list(GET shortcut_folders ${shortcut_index} folder)
    list(GET shortcut_names ${shortcut_index} link)
    string(REGEX REPLACE "[^A-Za-z0-9_.]" "_" link_id "${link}")
    # A child of the component, not of the file: wixl makes a file's own shortcut an advertised
    # one (its target the feature), which starts the program through the Windows Installer.
    set(shortcut "              <Shortcut Id=\"S_${link_id}\" Directory=\"${folder}\" Name=\"${link}\" Target=\"[#${id}]\" WorkingDirectory=\"PACKAGEFOLDER\"/>\n")
    if(folder STREQUAL "MANUALFOLDER")
      set(manual_shortcuts ON)
    endif()
  endif()
  string(APPEND FILE_COMPONENTS
    "            <Component Id=\"C_${id}\" Guid=\"${guid}\"${WIN64}>\n"
    "              <File Id=\"${id}\" Name=\"${name}\" Source=\"${source}\" KeyPath=\"yes\"/>\n"
    "${shortcut}"
    "            </Component>\n")
  string(APPEND COMPONENT_REFS "      <ComponentRef Id=\"C_${id}\"/>\n")
endforeach()

set(MANUAL_FOLDER "")
if(manual_shortcuts)
  set(MANUAL_FOLDER
    "            <Directory Id=\"MANUALFOLDER\" Name=\"Manual\">\n"
    "              <Component Id=\"ManualFolder\" Guid=\"${MANUAL_FOLDER_GUID}\"${WIN64}>\n"
    "                <RemoveFolder Id=\"RemoveManualFolder\" On=\"uninstall\"/>\n"
    "              </Component>\n"
    "            </Directory>")
  string(APPEND COMPONENT_REFS "      <ComponentRef Id=\"ManualFolder\"/>\n")
endif()
string(JOIN "" MANUAL_FOLDER ${MANUAL_FOLDER})

configure_file(${CMAKE_CURRENT_LIST_DIR}/kvrlancom.wxs.in ${OUT} @ONLY)
