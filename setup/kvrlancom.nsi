; kvrlancom-setup: puts the KVRLANCOM package on a computer and installs one virtual port.
;   makensis -DSTAGE=<stage folder with i686/ and x86_64/> -DOUTFILE=<setup.exe> [-DSETUP_AMD64] kvrlancom.nsi
; The package folder %WINDIR%\KELVARO\KVRLANCOM receives the build that matches the running Windows
; (the driver package's files, KVRLANCOM_INSTALLER.exe, kvrconfig.exe, kvrlancom_uninstaller.exe);
; the shortcuts go to the common Programs folder under KELVARO\KvrLanCom. Then the installer program
; runs from the package folder: it installs the port and writes the uninstall entry, so the setup
; writes none of its own. /S runs everything silently; the setup's exit code is then the installer's
; (0 done, 3010 done and a restart is needed, 1603 failed).
; Run again where a device of the package is present, the setup replaces the files and shortcuts
; and adds no second port (the installer does not run; exit code 0): "Add Port" adds one.
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

Name "KELVARO Virtual Com for ethernet Driver"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$WINDIR\KELVARO\KVRLANCOM"
ShowInstDetails show
Page instfiles

!macro PackageFiles ARCH
  SetOutPath "$INSTDIR"
  File "${STAGE}/${ARCH}/*"
!macroend

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
!ifdef SETUP_AMD64
  !insertmacro PackageFiles x86_64
!else
  ${If} ${RunningX64}
    !insertmacro PackageFiles x86_64
  ${Else}
    !insertmacro PackageFiles i686
  ${EndIf}
!endif

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

  ; Installed before: the port that is there stays the only one.
  Call PackageDevicePresent
  ${If} $0 == 1
    DetailPrint "A virtual port of the package is present: no port added (Add Port in the Configuration Tool adds one)."
    SetErrorLevel 0
    Return
  ${EndIf}

  ; The installer takes the INF from its current directory: the output path.
  ClearErrors
  ${If} ${Silent}
    ExecWait '"$INSTDIR\KVRLANCOM_INSTALLER.exe" /quiet' $0
  ${Else}
    ExecWait '"$INSTDIR\KVRLANCOM_INSTALLER.exe"' $0
  ${EndIf}
  ${If} ${Errors}
    DetailPrint "KVRLANCOM_INSTALLER.exe could not be started."
    SetErrorLevel 1603
  ${Else}
    DetailPrint "KVRLANCOM_INSTALLER.exe ended with $0."
    SetErrorLevel $0
  ${EndIf}
SectionEnd
