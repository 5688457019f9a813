; Setup of the SMS add-in: installs the DLL of the mail client's bitness,
; registers it as the client's add-in and writes the SMS gateway's address
; into the user's Settings.ini, which the add-in reads at every send.
;
;   setup.exe [/S] [/BITNESS=32|64] [/GATEWAY=host[:port]] [/USER=name] [/PASSWORD=text]
;
; Exit codes: 0, 2 for a bad command line, 3 when registration fails.
; TARGET_AMD64 builds the same setup as a 64-bit program, for the installer
; test where 32-bit programs cannot run; without DLL_X86 it offers x64 only.
!ifdef TARGET_AMD64
  Target amd64-unicode
!else
  Unicode true
!endif
ManifestDPIAware true
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include x64.nsh
!include nsDialogs.nsh

!ifndef DLL_X64 | OUTFILE
  !error "makensis needs -DDLL_X64=... -DDLL_X86=... -DOUTFILE=..."
!endif
!ifndef DLL_X86 & TARGET_AMD64
  !error "makensis needs -DDLL_X86=..."
!endif

!define PRODUCT "Quorval SMS Plugin for Outlook"
!define ADDIN_FILE "Quorval SMS Plugin for Outlook.dll"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorvalSmsOutlookAddin"
!define SETTINGS_DIR "$APPDATA\RudizavADUZaziv"
!define SETTINGS "${SETTINGS_DIR}\Settings.ini"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ShowInstDetails show
BrandingText "${PRODUCT}"
VIProductVersion 1.0.0.1
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey FileDescription "${PRODUCT} Setup"
VIAddVersionKey FileVersion 1.0.0.1
VIAddVersionKey ProductVersion 1.0.0.1
VIAddVersionKey LegalCopyright ""

Var Bitness
Var Gateway
Var UserName
Var Password
Var GatewayField
Var UserField
Var PasswordField

Page custom GatewayPage GatewayPageLeave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Office 2010 and later record "Bitness" (x86 or x64) under their version
; key, in the registry view of their own bitness.
!macro ReadOfficeBitness VERSION
  ${If} $0 == ""
    ReadRegStr $0 HKLM "Software\Microsoft\Office\${VERSION}\Outlook" "Bitness"
  ${EndIf}
!macroend

Function ReadOutlookBitness
  StrCpy $0 ""
  !insertmacro ReadOfficeBitness 16.0
  !insertmacro ReadOfficeBitness 15.0
  !insertmacro ReadOfficeBitness 14.0
FunctionEnd

; $0: 32 or 64, or "" when no Outlook says.
Function DetectOutlookBitness
  ${If} ${RunningX64}
    SetRegView 64
    Call ReadOutlookBitness
    ${If} $0 == ""
      SetRegView 32
      Call ReadOutlookBitness
    ${EndIf}
    SetRegView lastused
  ${Else}
    Call ReadOutlookBitness
  ${EndIf}
  ${If} $0 == "x64"
    StrCpy $0 64
  ${ElseIf} $0 == "x86"
    StrCpy $0 32
  ${Else}
    StrCpy $0 ""
  ${EndIf}
FunctionEnd

Function BadCommandLine
  MessageBox MB_ICONSTOP "$0" /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; A launcher that quotes whole arguments passes "/PASSWORD=a b"; the
; option parser sees an option only outside quotes, so the quote moves
; behind the "=", as a person would type it.
!macro UnquoteOption NAME
  ${WordReplace} $R0 '"/${NAME}=' '/${NAME}="' "+" $R0
!macroend

Function .onInit
  ${GetParameters} $R0
  !insertmacro UnquoteOption BITNESS
  !insertmacro UnquoteOption GATEWAY
  !insertmacro UnquoteOption USER
  !insertmacro UnquoteOption PASSWORD
  ClearErrors
  ${GetOptions} $R0 "/BITNESS=" $Bitness
  ${If} ${Errors}
    Call DetectOutlookBitness
    StrCpy $Bitness $0
    ${If} $Bitness == ""
      ${If} ${RunningX64}
        StrCpy $Bitness 64
      ${Else}
        StrCpy $Bitness 32
      ${EndIf}
    ${EndIf}
  ${ElseIf} $Bitness != 32
  ${AndIf} $Bitness != 64
    StrCpy $0 "/BITNESS takes 32 or 64, not $\"$Bitness$\"."
    Call BadCommandLine
  ${EndIf}
  ${If} $Bitness == 64
  ${AndIfNot} ${RunningX64}
    StrCpy $0 "The 64-bit add-in needs 64-bit Windows."
    Call BadCommandLine
  ${EndIf}
!ifndef DLL_X86
  ${If} $Bitness == 32
    StrCpy $0 "This setup holds no 32-bit add-in."
    Call BadCommandLine
  ${EndIf}
!endif

  ; The page shows what Settings.ini holds; the command line wins over it.
  ReadINIStr $Gateway "${SETTINGS}" Profile GatewayHost
  ReadINIStr $UserName "${SETTINGS}" Profile UserName
  ReadINIStr $Password "${SETTINGS}" Profile Password
  ClearErrors
  ${GetOptions} $R0 "/GATEWAY=" $1
  ${IfNot} ${Errors}
    StrCpy $Gateway $1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/USER=" $1
  ${IfNot} ${Errors}
    StrCpy $UserName $1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/PASSWORD=" $1
  ${IfNot} ${Errors}
    StrCpy $Password $1
  ${EndIf}

  ${If} $INSTDIR == ""
    ${If} $Bitness == 64
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES32\${PRODUCT}"
    ${EndIf}
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Function GatewayPage
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 30u "The SMS gateway the add-in sends through: its host name or address, with :port if it is not 80. Without it no SMS can be sent. User name and password are those of your gateway account."
  Pop $0
  ${NSD_CreateLabel} 0 38u 30% 12u "SMS gateway:"
  Pop $0
  ${NSD_CreateText} 32% 36u 68% 12u $Gateway
  Pop $GatewayField
  ${NSD_CreateLabel} 0 56u 30% 12u "User name:"
  Pop $0
  ${NSD_CreateText} 32% 54u 68% 12u $UserName
  Pop $UserField
  ${NSD_CreateLabel} 0 74u 30% 12u "Password:"
  Pop $0
  ${NSD_CreatePassword} 32% 72u 68% 12u $Password
  Pop $PasswordField
  ${NSD_SetFocus} $GatewayField
  nsDialogs::Show
FunctionEnd

Function GatewayPageLeave
  ${NSD_GetText} $GatewayField $Gateway
  ${NSD_GetText} $UserField $UserName
  ${NSD_GetText} $PasswordField $Password
  ${If} $Gateway == ""
    MessageBox MB_ICONEXCLAMATION "Enter the SMS gateway's address, for example sms.example.com or 192.0.2.10:8080."
    Abort
  ${EndIf}
FunctionEnd

; regsvr32 of the add-in's own bitness: a 32-bit setup sees the 64-bit
; System32 only with file-system redirection off.
!macro Regsvr32 ARGS
  ${If} $Bitness == 64
    ${DisableX64FSRedirection}
  ${EndIf}
  ExecWait '"$SYSDIR\regsvr32.exe" /s ${ARGS} "$INSTDIR\${ADDIN_FILE}"' $0
  ${EnableX64FSRedirection}
!macroend

; Profile functions keep a file UTF-16 only when it starts with a byte-order
; mark, and the add-in keeps its settings in UTF-16: a new file gets one.
Function WriteSettings
  ${If} $Gateway == ""
  ${AndIf} $UserName == ""
  ${AndIf} $Password == ""
    DetailPrint "No SMS gateway given: Settings.ini left as it is."
    Return
  ${EndIf}
  CreateDirectory "${SETTINGS_DIR}"
  ${IfNot} ${FileExists} "${SETTINGS}"
    FileOpen $0 "${SETTINGS}" w
    FileWriteWord $0 0xFEFF
    FileClose $0
  ${EndIf}
  ${If} $Gateway != ""
    WriteINIStr "${SETTINGS}" Profile GatewayHost $Gateway
  ${EndIf}
  ${If} $UserName != ""
    WriteINIStr "${SETTINGS}" Profile UserName $UserName
  ${EndIf}
  ${If} $Password != ""
    WriteINIStr "${SETTINGS}" Profile Password $Password
  ${EndIf}
  FlushINI "${SETTINGS}"
  DetailPrint "SMS gateway $Gateway written to ${SETTINGS}"
FunctionEnd

Section
  SetOutPath $INSTDIR
  ${If} $Bitness == 64
    File "/oname=${ADDIN_FILE}" "${DLL_X64}"
!ifdef DLL_X86
  ${Else}
    File "/oname=${ADDIN_FILE}" "${DLL_X86}"
!endif
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  !insertmacro Regsvr32 ""
  ${If} $0 != 0
    DetailPrint "regsvr32 failed with $0"
    MessageBox MB_ICONSTOP "The add-in could not be registered (regsvr32: $0)." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
  DetailPrint "Registered the $Bitness-bit add-in"
  Call WriteSettings

  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion 1.0.0.1
  WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" Bitness $Bitness
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ReadRegStr $Bitness HKLM "${UNINSTALL_KEY}" Bitness
  ${If} $Bitness == ""
    StrCpy $Bitness 32
  ${EndIf}
FunctionEnd

; Settings.ini and the history stay: they are the user's.
Section Uninstall
  !insertmacro Regsvr32 "/u"
  ${If} $0 != 0
    DetailPrint "regsvr32 /u failed with $0"
  ${EndIf}
  Delete /REBOOTOK "$INSTDIR\${ADDIN_FILE}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
