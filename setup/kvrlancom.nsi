; kvrlancom-setup: puts the KVRLANCOM package on a computer and installs one virtual port.
;   makensis -DSTAGE=<stage folder with i686/ and x86_64/> -DOUTFILE=<setup.exe> [-DSETUP_AMD64] kvrlancom.nsi
; The package folder %WINDIR%\KELVARO\KVRLANCOM receives the build that matches the running Windows
; (the driver package's files, KVRLANCOM_INSTALLER.exe, kvrconfig.exe, kvrlancom_uninstaller.exe);
; the shortcuts go to the common Programs folder under KELVARO\KvrLanCom. Then the installer program
; runs from the package folder: it installs the port and writes the uninstall entry, so the setup
; writes none of its own. /S runs everything silently; the setup's exit code is then the installer's
; (0 done, 3010 done and a restart is needed, 1603 failed).
; Run again where a device of the package is present, the setup replaces the files and shortcuts
; and adds no second port: the installer brings the present ports to this package's driver
; (/quiet /update) and rewrites the uninstall entry; its exit code is the setup's. "Add Port" adds a
; port. A file that cannot be replaced (a program of an earlier install still running) ends the
; setup with 1603 before the installer runs, and the entry loses its DisplayVersion.
; The package folder is always %WINDIR%\KELVARO\KVRLANCOM: /D= is ignored, as the uninstall entry
; and the uninstaller know no other place. Every run appends what it did, the installer's exit code
; and its lines naming failed steps to %WINDIR%\Temp\kvrlancom-setup.log.
; File-system redirection stays on throughout: nothing the setup writes lies in a redirected folder
; (the package folder under the Windows directory is the same for 32- and 64-bit programs), and the
; driver's files reach system32 through the 64-bit installer's device install.
Unicode true
!ifdef SETUP_AMD64
  Target amd64-unicode
!endif

!include LogicLib.nsh
!include x64.nsh

!define PROGRAMS_FOLDER "$SMPROGRAMS\KELVARO\KvrLanCom"
!define HARDWARE_ID "kelvaro\tcpsio"
!define ROOT_PORTS "SYSTEM\CurrentControlSet\Enum\Root\PORTS"
!define MANUAL_EN "Quick Reference for Ethernet installation english.pdf"
!define MANUAL_KO "Quick Reference for Ethernet installation korean.pdf"
!define ENTRY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KELVARO KVRLANCOM Driver"
!define LOG "$WINDIR\Temp\kvrlancom-setup.log"

Name "KELVARO Virtual Com for ethernet Driver"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "KELVARO Virtual Com for ethernet Driver"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "KELVARO Virtual Com for ethernet Driver Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "KELVARO"
VIAddVersionKey /LANG=1033 "LegalCopyright" "KELVARO"
RequestExecutionLevel admin
InstallDir "$WINDIR\KELVARO\KVRLANCOM"
ShowInstDetails show
Page instfiles

Var Failed

; One line appended to the log, and shown in the progress list.
!macro Log TEXT
  DetailPrint "${TEXT}"
  Push "${TEXT}"
  Call AppendToLog
!macroend

Function AppendToLog
  Exch $1
  Push $2
  ClearErrors
  FileOpen $2 "${LOG}" a
  ${IfNot} ${Errors}
    FileSeek $2 0 END
    FileWrite $2 "$1$\r$\n"
    FileClose $2
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd

; One staged file (the list per build is made by stage.cmake). NSIS answers its own "cannot write"
; prompt with Ignore under /S and only sets the error flag: read here, it fails the setup.
!macro PackageFile ARCH NAME
  ClearErrors
  File "${STAGE}/${ARCH}/${NAME}"
  ${If} ${Errors}
    !insertmacro Log "Writing $INSTDIR\${NAME} failed: the file is in use or cannot be written."
    StrCpy $Failed 1
  ${EndIf}
!macroend

!macro PackageFiles ARCH
  SetOutPath "$INSTDIR"
  !include "${STAGE}/${ARCH}.nsh"
!macroend

; Runs the installer from the package folder with ARGS and ends the setup with its exit code,
; logging it and the lines it printed (the failed steps). nsExec captures what a windowed program
; writes to standard output, and shows no window: only for /quiet.
!macro RunInstaller ARGS
  !insertmacro Log "Running KVRLANCOM_INSTALLER.exe ${ARGS}"
  nsExec::ExecToStack '"$INSTDIR\KVRLANCOM_INSTALLER.exe" ${ARGS}'
  Pop $0
  Pop $1
  ${If} $1 != ""
    !insertmacro Log "$1"
  ${EndIf}
  ${If} $0 == "error"
  ${OrIf} $0 == "timeout"
    !insertmacro Log "KVRLANCOM_INSTALLER.exe could not be started ($0)."
    StrCpy $0 1603
  ${EndIf}
  !insertmacro Log "KVRLANCOM_INSTALLER.exe ended with $0."
  SetErrorLevel $0
!macroend

Function .onInit
  ; /D= sets $INSTDIR before this runs: the one package folder is put back.
  StrCpy $INSTDIR "$WINDIR\KELVARO\KVRLANCOM"
  !insertmacro Log "kvrlancom-setup ${VERSION} started: $CMDLINE"
  ; An x64 build would run emulated on ARM64 Windows, whose devices need an ARM64 driver.
  ${If} ${IsNativeARM64}
    !insertmacro Log "This package has no build for ARM64 Windows: nothing installed (exit code 1603)."
    MessageBox MB_OK|MB_ICONSTOP "This package has no build for ARM64 Windows.$\r$\nNothing was installed." /SD IDOK
    SetErrorLevel 1603
    Quit
  ${EndIf}
FunctionEnd

; $0: 1 when a device of the package is present, else 0: a root-enumerated Ports instance whose
; hardware-ID list begins with the package's ID (exactly, in its letter case). NSIS reads no
; multi-string value itself: the system's RegGetValueW does, into $3 up to the first string's end
; (RRF_RT_REG_MULTI_SZ = 0x20; -2147483646 is HKEY_LOCAL_MACHINE, sign-extended as 64-bit Windows
; has it). The Enum keys are the same in both registry views.
Function PackageDevicePresent
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $0 0
  StrCpy $1 0
  ${Do}
    EnumRegKey $2 HKLM "${ROOT_PORTS}" $1
    ${If} $2 == ""
      ${Break}
    ${EndIf}
    System::Call 'advapi32::RegGetValueW(p -2147483646, w "${ROOT_PORTS}\$2", w "HardwareID", i 0x20, p 0, w .r3, *i ${NSIS_MAX_STRLEN}) i .r4'
    ${If} $4 == 0
    ${AndIf} $3 S== "${HARDWARE_ID}"
      StrCpy $0 1
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

Section
  SetShellVarContext all
  StrCpy $Failed 0
!ifdef SETUP_AMD64
  !insertmacro PackageFiles x86_64
!else
  ${If} ${RunningX64}
    !insertmacro PackageFiles x86_64
  ${Else}
    !insertmacro PackageFiles i686
  ${EndIf}
!endif

  ${If} $Failed == 1
    ; What is installed is no longer what the entry's version says. The entry lives in the 64-bit
    ; view (32-bit Windows ignores the request for it).
    SetRegView 64
    DeleteRegValue HKLM "${ENTRY}" "DisplayVersion"
    SetRegView lastused
    !insertmacro Log "Not every file could be replaced: the installer was not run (exit code 1603)."
    SetErrorLevel 1603
    Return
  ${EndIf}
  !insertmacro Log "Files laid down in $INSTDIR."

  ; The configuration tool starts in the package folder, where "Add Port" finds the INF: a
  ; shortcut's working directory is the output path at the time it is made.
  CreateDirectory "${PROGRAMS_FOLDER}"
  SetOutPath "$INSTDIR"
  CreateShortcut "${PROGRAMS_FOLDER}\Configuration Tool.lnk" "$INSTDIR\kvrconfig.exe"
  ${If} ${FileExists} "$INSTDIR\${MANUAL_EN}"
    CreateDirectory "${PROGRAMS_FOLDER}\Manual"
    CreateShortcut "${PROGRAMS_FOLDER}\Manual\Quick manual - english.lnk" "$INSTDIR\${MANUAL_EN}"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${MANUAL_KO}"
    CreateDirectory "${PROGRAMS_FOLDER}\Manual"
    CreateShortcut "${PROGRAMS_FOLDER}\Manual\Quick manual - korea.lnk" "$INSTDIR\${MANUAL_KO}"
  ${EndIf}

  ; Installed before: the port that is there stays the only one, brought to this driver.
  Call PackageDevicePresent
  ${If} $0 == 1
    !insertmacro Log "A virtual port of the package is present: its driver is updated, no port added."
    !insertmacro RunInstaller "/quiet /update"
    Return
  ${EndIf}

  ; The installer takes the INF from its current directory: the output path.
  ${If} ${Silent}
    !insertmacro RunInstaller "/quiet"
  ${Else}
    !insertmacro Log "Running KVRLANCOM_INSTALLER.exe"
    ClearErrors
    ExecWait '"$INSTDIR\KVRLANCOM_INSTALLER.exe"' $0
    ${If} ${Errors}
      StrCpy $0 1603
    ${EndIf}
    !insertmacro Log "KVRLANCOM_INSTALLER.exe ended with $0."
    SetErrorLevel $0
  ${EndIf}
SectionEnd
