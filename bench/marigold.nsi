; The same installation as the Marigold setup, done by a mainstream installer, for the benchmark.
; makensis -DTARGET=amd64-unicode|x86-unicode -DSAVER=... -DASSETS=... -DURL=... -DOUTFILE=...
;          [-DNO_PAYLOAD]   (the same installer without the seven files: its size is the overhead)
Target ${TARGET}
Name "Marigold Screen Saver"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ShowInstDetails nevershow
Page instfiles

!ifndef NO_PAYLOAD
  ; The embedded screen saver's file version, as the two numbers GetDLLVersion gives.
  !getdllversion "${SAVER}" SAVER_V
  !define /math SAVER_MS_HIGH ${SAVER_V1} * 65536
  !define /math SAVER_MS ${SAVER_MS_HIGH} + ${SAVER_V2}
  !define /math SAVER_LS_HIGH ${SAVER_V3} * 65536
  !define /math SAVER_LS ${SAVER_LS_HIGH} + ${SAVER_V4}
!endif

Section
  SetOverwrite on
!ifndef NO_PAYLOAD
  ; The screen saver, unless the installed one has a newer file version.
  ClearErrors
  GetDLLVersion "$WINDIR\Marigold.scr" $R2 $R3
  IfErrors install_saver
  IntCmpU $R2 ${SAVER_MS} 0 install_saver keep_saver
  IntCmpU $R3 ${SAVER_LS} install_saver install_saver keep_saver
install_saver:
  SetOutPath "$WINDIR"
  File "/oname=Marigold.scr" "${SAVER}"
keep_saver:
  SetOutPath "$WINDIR\marigoldfiles"
  File "${ASSETS}/ghost.bmp"
  File "${ASSETS}/skeleton.bmp"
  File "${ASSETS}/pumpkin1.bmp"
  File "${ASSETS}/pumpkin2.bmp"
  File "${ASSETS}/pumpkin3.bmp"
  File "${ASSETS}/boom1.wav"
!endif

  ; The publisher's four shortcuts.
  WriteINIStr "$FAVORITES\LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES.url" "DEFAULT" "BASEURL" "${URL}"
  WriteINIStr "$FAVORITES\LUMAVERT - FREE DOWNLOADS, GAMES, UTILITIES.url" "InternetShortcut" "URL" "${URL}"
  CreateShortCut "$DESKTOP\LUMA VERT - FREE SOFTWARE, GAMES, TOOLS.lnk" "${URL}"
  CreateShortCut "$STARTMENU\LUMAVERT.lnk" "${URL}"
  CreateShortCut "$SMPROGRAMS\LUMAVERT - FREE SOFTWARE, GAMES, TOOLS.lnk" "${URL}"

  ; Activation: the short path in system.ini, then screen saving switched on (SPI_SETSCREENSAVEACTIVE,
  ; stored in the profile), as the setup does.
  GetFullPathName /SHORT $0 "$WINDIR\Marigold.scr"
  WriteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE" "$0"
  System::Call 'user32::SystemParametersInfo(i 17, i 1, p 0, i 1)'
SectionEnd
