; Setup of the SMS add-in: installs the DLL of the mail client's bitness,
; registers it as the client's add-in and writes the SMS gateway's address
; into the user's Settings.ini, which the add-in reads at every send.
;
;   setup.exe [/S] [/ALLUSERS] [/BITNESS=32|64] [/GATEWAY=host[:port]] [/USER=name] [/PASSWORD=text]
;
; By default for the current user alone, with no administrator: the files
; under %LOCALAPPDATA%\Programs, the registration and the uninstall entry
; under HKCU. /ALLUSERS (or the choice on the first page) installs for every
; user, as an administrator: Program Files and HKLM, and the gateway's
; address becomes the machine's, for every user whose Settings.ini names none.
;
; Exit codes: 0, 2 for a bad command line (a gateway address that is not
; host[:port] too), 3 when registration fails, 4 for /ALLUSERS (or the
; uninstall of such an install) without an administrator. Each failure of
; the setup is also written to %TEMP%\QuorvalSmsSetup.log.
; TARGET_AMD64 builds the same setup as a 64-bit program, for the installer
; test where 32-bit programs cannot run; it holds the x64 add-in only.
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
; The machine's gateway address, in the 64-bit view, read by the add-in of
; either bitness where a user's Settings.ini names none.
!define MACHINE_KEY "Software\RudizavADUZaziv"
!define LOG "$TEMP\QuorvalSmsSetup.log"
; The setup asks the add-in it carries whether a gateway address has the
; form it takes, so it unpacks the DLL of its own bitness to ask.
!ifdef TARGET_AMD64
  !define CHECKER_DLL "${DLL_X64}"
!else
  !define CHECKER_DLL "${DLL_X86}"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ShowInstDetails show
BrandingText "${PRODUCT}"
VIProductVersion 1.0.0.1
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey FileDescription "${PRODUCT} Setup"
VIAddVersionKey FileVersion 1.0.0.1
VIAddVersionKey ProductVersion 1.0.0.1
VIAddVersionKey LegalCopyright ""

Var Bitness
Var AllUsers
Var ScopeGiven
Var ChosenDir
Var ForMeButton
Var Gateway
Var UserName
Var Password
Var GatewayField
Var UserField
Var PasswordField

Page custom ScopePage ScopePageLeave
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

; $0: one line for the log, which a silent install has instead of messages.
Function WriteLog
  Push $1
  FileOpen $1 "${LOG}" a
  FileSeek $1 0 END
  FileWrite $1 "$0$\r$\n"
  FileClose $1
  Pop $1
FunctionEnd

Function BadCommandLine
  Call WriteLog
  MessageBox MB_ICONSTOP "$0" /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; $1: an address as typed; $2 becomes 1 when it has the form the add-in takes.
Function CheckGateway
  System::Call '$PLUGINSDIR\gateway_check.dll::IsGatewayEntryW(w r1) i .r2 ?u'
FunctionEnd

!define GATEWAY_FORM "Enter the SMS gateway as host or host:port, with a port from 1 to 65535, for example sms.example.com, sms.example.com:8080, 192.0.2.10:8080 or [2001:db8::10]:8080. Leave out http://, a user name, a path and spaces."

; The install folder and the gateway field of the scope chosen.
Function ApplyScope
  ${If} $ChosenDir == ""
    ${If} $AllUsers == 1
      ${If} $Bitness == 64
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
      ${Else}
        StrCpy $INSTDIR "$PROGRAMFILES32\${PRODUCT}"
      ${EndIf}
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function IsAdministrator
  UserInfo::GetAccountType
  Pop $0
FunctionEnd

; A launcher that quotes whole arguments passes "/PASSWORD=a b"; the
; option parser sees an option only outside quotes, so the quote moves
; behind the "=", as a person would type it.
!macro UnquoteOption NAME
  ${WordReplace} $R0 '"/${NAME}=' '/${NAME}="' "+" $R0
!macroend

; $0: an option such as "/GATEWAY="; $1: its value in the command line $R0,
; quoted ("...") or up to the next " /"; the error flag when it is absent.
; GetOptions would end a value at any "/", so that a path or a password
; with a slash would lose its end unseen.
Function OptionValue
  Push $3
  Push $4
  Push $5
  StrLen $3 $0
  StrCpy $4 0
  ClearErrors
  ${Do}
    StrCpy $5 $R0 $3 $4
    ${If} $5 == ""
      SetErrors
      ${Break}
    ${EndIf}
    ${If} $4 == 0
      StrCpy $1 " "
    ${Else}
      IntOp $1 $4 - 1
      StrCpy $1 $R0 1 $1
    ${EndIf}
    ${If} $5 == $0
    ${AndIf} $1 == " "
      IntOp $4 $4 + $3
      StrCpy $1 $R0 "" $4
      StrCpy $5 $1 1
      ${If} $5 == '"'
        StrCpy $1 $1 "" 1
        ${WordFind} $1 '"' "+1{" $1
      ${Else}
        ${WordFind} $1 " /" "+1{" $1
        ${Do}
          StrCpy $5 $1 1 -1
          ${If} $5 != " "
            ${Break}
          ${EndIf}
          StrCpy $1 $1 -1
        ${Loop}
      ${EndIf}
      ClearErrors
      ${Break}
    ${EndIf}
    IntOp $4 $4 + 1
  ${Loop}
  Pop $5
  Pop $4
  Pop $3
FunctionEnd

Function .onInit
  StrCpy $ChosenDir $INSTDIR
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

  StrCpy $AllUsers 0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  StrCpy $ScopeGiven $AllUsers
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}

  ; The page shows what Settings.ini (or the machine) holds; the command
  ; line wins over it.
  ReadINIStr $Gateway "${SETTINGS}" Profile GatewayHost
  ${If} $AllUsers == 1
    ReadRegStr $1 HKLM "${MACHINE_KEY}" GatewayHost
    ${If} $1 != ""
      StrCpy $Gateway $1
    ${EndIf}
  ${EndIf}
  ReadINIStr $UserName "${SETTINGS}" Profile UserName
  ReadINIStr $Password "${SETTINGS}" Profile Password
  StrCpy $0 "/GATEWAY="
  Call OptionValue
  ${IfNot} ${Errors}
    InitPluginsDir
    File "/oname=$PLUGINSDIR\gateway_check.dll" "${CHECKER_DLL}"
    Call CheckGateway
    ${If} $2 != 1
      StrCpy $0 "/GATEWAY=$1 is not an SMS gateway address. ${GATEWAY_FORM}"
      Call BadCommandLine
    ${EndIf}
    StrCpy $Gateway $1
  ${EndIf}
  StrCpy $0 "/USER="
  Call OptionValue
  ${IfNot} ${Errors}
    StrCpy $UserName $1
  ${EndIf}
  StrCpy $0 "/PASSWORD="
  Call OptionValue
  ${IfNot} ${Errors}
    StrCpy $Password $1
  ${EndIf}

  ${If} $AllUsers == 1
  ${AndIf} ${Silent}
    Call IsAdministrator
    ${If} $0 != "Admin"
      StrCpy $0 "/ALLUSERS installs for every user of this computer and needs an administrator; without it the add-in is installed for you alone."
      Call WriteLog
      SetErrorLevel 4
      Quit
    ${EndIf}
  ${EndIf}
  Call ApplyScope
FunctionEnd

; The page is skipped when the command line chose already.
Function ScopePage
  ${If} $ScopeGiven == 1
    Abort
  ${EndIf}
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 20u "Who uses the SMS add-in on this computer?"
  Pop $0
  ${NSD_CreateRadioButton} 0 24u 100% 12u "Only me (no administrator needed)"
  Pop $ForMeButton
  ${NSD_CreateRadioButton} 0 40u 100% 12u "Every user of this computer (needs an administrator)"
  Pop $0
  ${If} $AllUsers == 1
    ${NSD_Check} $0
  ${Else}
    ${NSD_Check} $ForMeButton
  ${EndIf}
  nsDialogs::Show
FunctionEnd

; Every user: a standard user's setup starts itself again as an
; administrator, which Windows asks for, and ends.
Function ScopePageLeave
  ${NSD_GetState} $ForMeButton $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 0
    Call ApplyScope
    Return
  ${EndIf}
  Call IsAdministrator
  ${If} $0 != "Admin"
    ExecShell "runas" "$EXEPATH" "/ALLUSERS $R0"
    Quit
  ${EndIf}
  StrCpy $AllUsers 1
  ReadRegStr $1 HKLM "${MACHINE_KEY}" GatewayHost
  ${If} $1 != ""
    StrCpy $Gateway $1
  ${EndIf}
  Call ApplyScope
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
  InitPluginsDir
  File "/oname=$PLUGINSDIR\gateway_check.dll" "${CHECKER_DLL}"
  StrCpy $1 $Gateway
  Call CheckGateway
  ${If} $2 != 1
    MessageBox MB_ICONEXCLAMATION "$\"$Gateway$\" is not an SMS gateway address.$\r$\n$\r$\n${GATEWAY_FORM}"
    Abort
  ${EndIf}
FunctionEnd

; regsvr32 of the add-in's own bitness: a 32-bit setup sees the 64-bit
; System32 only with file-system redirection off. For the current user
; alone, /n /i:user calls the add-in's DllInstall instead of its
; machine-wide DllRegisterServer.
!macro Regsvr32 ARGS
  ${If} $Bitness == 64
    ${DisableX64FSRedirection}
  ${EndIf}
  ${If} $AllUsers == 1
    ExecWait '"$SYSDIR\regsvr32.exe" /s ${ARGS} "$INSTDIR\${ADDIN_FILE}"' $0
  ${Else}
    ExecWait '"$SYSDIR\regsvr32.exe" /s ${ARGS} /n /i:user "$INSTDIR\${ADDIN_FILE}"' $0
  ${EndIf}
  ${EnableX64FSRedirection}
!macroend

!macro WriteUninstallEntry ROOT
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" DisplayVersion 1.0.0.1
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr ${ROOT} "${UNINSTALL_KEY}" Bitness $Bitness
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD ${ROOT} "${UNINSTALL_KEY}" NoRepair 1
!macroend

; Profile functions keep a file UTF-16 only when it starts with a byte-order
; mark, and the add-in keeps its settings in UTF-16: a new file gets one.
; For every user the gateway's address is the machine's; the account
; stays the installing user's own.
Function WriteSettings
  StrCpy $1 $Gateway
  ${If} $AllUsers == 1
  ${AndIf} $Gateway != ""
    WriteRegStr HKLM "${MACHINE_KEY}" GatewayHost $Gateway
    DetailPrint "SMS gateway $Gateway written for every user of this computer"
    StrCpy $1 ""
  ${EndIf}
  ${If} $1 == ""
  ${AndIf} $UserName == ""
  ${AndIf} $Password == ""
    DetailPrint "Settings.ini left as it is."
    Return
  ${EndIf}
  CreateDirectory "${SETTINGS_DIR}"
  ${IfNot} ${FileExists} "${SETTINGS}"
    FileOpen $0 "${SETTINGS}" w
    FileWriteWord $0 0xFEFF
    FileClose $0
  ${EndIf}
  ${If} $1 != ""
    WriteINIStr "${SETTINGS}" Profile GatewayHost $1
  ${EndIf}
  ${If} $UserName != ""
    WriteINIStr "${SETTINGS}" Profile UserName $UserName
  ${EndIf}
  ${If} $Password != ""
    WriteINIStr "${SETTINGS}" Profile Password $Password
  ${EndIf}
  FlushINI "${SETTINGS}"
  DetailPrint "Settings written to ${SETTINGS}"
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
    StrCpy $0 "The add-in could not be registered (regsvr32: $0)."
    Call WriteLog
    MessageBox MB_ICONSTOP "$0" /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
  DetailPrint "Registered the $Bitness-bit add-in"
  Call WriteSettings

  ${If} $AllUsers == 1
    !insertmacro WriteUninstallEntry HKLM
  ${Else}
    !insertmacro WriteUninstallEntry HKCU
  ${EndIf}
SectionEnd

; The user's own install when the user's uninstall entry names this
; folder, else the one for every user.
Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  StrCpy $AllUsers 1
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" InstallLocation
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 0
    ReadRegStr $Bitness HKCU "${UNINSTALL_KEY}" Bitness
  ${Else}
    ReadRegStr $Bitness HKLM "${UNINSTALL_KEY}" Bitness
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      MessageBox MB_ICONSTOP "The SMS add-in was installed for every user of this computer: an administrator removes it." /SD IDOK
      SetErrorLevel 4
      Quit
    ${EndIf}
  ${EndIf}
  ${If} $Bitness == ""
    StrCpy $Bitness 32
  ${EndIf}
FunctionEnd

; Settings.ini and the history stay: they are the user's. The machine's
; gateway address goes with the install for every user that wrote it.
Section Uninstall
  !insertmacro Regsvr32 "/u"
  ${If} $0 != 0
    DetailPrint "regsvr32 /u failed with $0"
  ${EndIf}
  Delete /REBOOTOK "$INSTDIR\${ADDIN_FILE}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ${If} $AllUsers == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegValue HKLM "${MACHINE_KEY}" GatewayHost
    DeleteRegKey /ifempty HKLM "${MACHINE_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
