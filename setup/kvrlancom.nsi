; kvrlancom-setup: puts the KVRLANCOM package on a computer and installs one virtual port.
;   makensis -DSTAGE=<stage folder with i686/ and x86_64/> -DOUTFILE=<setup.exe> [-DSETUP_AMD64] kvrlancom.nsi
; The package folder %WINDIR%\KELVARO\KVRLANCOM receives the build that matches the running Windows
; (the driver package's files, KVRLANCOM_INSTALLER.exe, kvrconfig.exe, kvrlancom_uninstaller.exe);
; the shortcuts go to the common Programs folder under KELVARO\KvrLanCom. Then the installer program
; runs from the package folder: it installs the port and writes the uninstall entry, so the setup
; writes none of its own. /S runs everything silently; the setup's exit code is then the installer's
; (0 done, 3010 done and a restart is needed, 1603 failed).
Unicode true
!ifdef SETUP_AMD64
  Target amd64-unicode
!endif

!include LogicLib.nsh
!include x64.nsh

!define PROGRAMS_FOLDER "$SMPROGRAMS\KELVARO\KvrLanCom"
!define MANUAL_EN "Quick Reference for Ethernet installation english.pdf"
!define MANUAL_KO "Quick Reference for Ethernet installation korean.pdf"

Name "KELVARO Virtual Com for ethernet Driver"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
InstallDir "$WINDIR\KELVARO\KVRLANCOM"
ShowInstDetails show
Page instfiles

; The 64-bit programs, with system paths as they are (a 32-bit setup's would be redirected).
!macro PackageFiles64
  ${DisableX64FSRedirection}
  SetOutPath "$INSTDIR"
  File "${STAGE}/x86_64/*"
!macroend

Section
  SetShellVarContext all
!ifdef SETUP_AMD64
  !insertmacro PackageFiles64
!else
  ${If} ${RunningX64}
    !insertmacro PackageFiles64
  ${Else}
    SetOutPath "$INSTDIR"
    File "${STAGE}/i686/*"
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
