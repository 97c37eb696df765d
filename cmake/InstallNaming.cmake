# Installs a text file that names the installed program (the desktop entry, the session bus
# service file). It is written at install time, so that it names the program under the prefix the
# installation really uses (`cmake --install --prefix`, or /usr in the Debian package):
# @TESSEREL_PROGRAM@ in the template becomes the program's full path.
function(tesserel_install_naming_program template destination)
  get_filename_component(name ${template} NAME_WLE)
  get_filename_component(template ${template} ABSOLUTE)
  set(staged ${CMAKE_CURRENT_BINARY_DIR}/install/${name})
  install(CODE "
    set(TESSEREL_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tesserel\")
    configure_file(\"${template}\" \"${staged}\" @ONLY)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${destination}\" TYPE FILE FILES \"${staged}\")
  ")
endfunction()
