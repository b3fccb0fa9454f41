; The peer installer of the benchmark: the same payload files into the same directory, silent,
; zlib like the setup's archive. File names are given in UTF-8 (makensis fails on GBK bytes).
; makensis -DOUT=... -DPAYLOAD=... [-DEMPTY] peer.nsi
Unicode true
SetCompressor zlib
Name "Tavo peer"
OutFile "${OUT}"
InstallDir "C:\tavohu"
RequestExecutionLevel admin
SilentInstall silent
Section
  SetOutPath "$INSTDIR"
!ifndef EMPTY
  File "${PAYLOAD}/*"
!endif
SectionEnd
