# What an install gives, read as a desktop, AppStream, a packager and a user would read it.
#   WHAT=install: install the build into a fresh PREFIX, check the files, run both validators, the
#                 installed programs' --version, and check that every option their --help lists is in
#                 their manual page.
#   WHAT=package: make the Debian package into a fresh OUT and read its control fields and contents.
# Other arguments: BUILD, SOURCE, APP_ID, VERSION, BINDIR, DATADIR, MANDIR, CPACK.

# Runs a command; ends the test with its output unless it succeeds. Its output is left in `output`.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command}: ${rc}\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

# Without a display, as on a build machine: --help and --version must not need one.
set(no_display ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM)

if(WHAT STREQUAL "install")
  file(REMOVE_RECURSE "${PREFIX}")
  run(${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}")

  set(desktop "${PREFIX}/${DATADIR}/applications/${APP_ID}.desktop")
  set(metainfo "${PREFIX}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml")
  foreach(file "${BINDIR}/plintor" "${BINDIR}/plintor-monitor"
               "${DATADIR}/icons/hicolor/scalable/apps/${APP_ID}.svg"
               "${DATADIR}/icons/hicolor/48x48/apps/${APP_ID}.png"
               "${DATADIR}/icons/hicolor/256x256/apps/${APP_ID}.png")
    if(NOT EXISTS "${PREFIX}/${file}")
      message(FATAL_ERROR "not installed: ${file}")
    endif()
  endforeach()

  # The demo's files are 8-bit text with CR LF: installed byte for byte.
  file(GLOB_RECURSE demo RELATIVE "${SOURCE}/demo" "${SOURCE}/demo/*")
  foreach(file IN LISTS demo)
    run(${CMAKE_COMMAND} -E compare_files "${SOURCE}/demo/${file}" "${PREFIX}/${DATADIR}/plintor/demo/${file}")
  endforeach()

  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate REQUIRED)
  find_program(APPSTREAMCLI appstreamcli REQUIRED)
  run(${DESKTOP_FILE_VALIDATE} "${desktop}")
  run(${APPSTREAMCLI} validate --no-net "${metainfo}")

  foreach(program plintor plintor-monitor)
    run(${no_display} "${PREFIX}/${BINDIR}/${program}" --version)
    if(NOT output MATCHES "^${program} ${VERSION}\n")
      message(FATAL_ERROR "${program} --version said: ${output}")
    endif()
    run(${no_display} "${PREFIX}/${BINDIR}/${program}" --help)
    string(REGEX MATCHALL "--[a-z][-a-z]*" options "${output}")
    file(READ "${PREFIX}/${MANDIR}/man1/${program}.1" page)
    string(REPLACE "\\-" "-" page "${page}")
    foreach(option IN LISTS options)
      if(NOT page MATCHES "${option}[^-a-z]")
        message(FATAL_ERROR "${program} takes ${option}; its manual page does not list it")
      endif()
    endforeach()
  endforeach()

elseif(WHAT STREQUAL "package")
  file(REMOVE_RECURSE "${OUT}")
  run(${CPACK} -G DEB --config "${BUILD}/CPackConfig.cmake" -B "${OUT}")
  file(GLOB deb "${OUT}/plintor_${VERSION}_*.deb")
  run(dpkg-deb --field "${deb}" Depends)
  foreach(package libqt6core6 libqt6gui6 libqt6network6 libqt6widgets6 qt6-qpa-plugins)
    if(NOT output MATCHES "(^|[ ,])${package}( |,|\n|$)")
      message(FATAL_ERROR "the package does not depend on ${package}: ${output}")
    endif()
  endforeach()
  run(dpkg-deb --contents "${deb}")
  foreach(file "usr/bin/plintor" "usr/bin/plintor-monitor" "usr/share/applications/${APP_ID}.desktop")
    if(NOT output MATCHES " \\./${file}\n")
      message(FATAL_ERROR "the package does not hold /${file}")
    endif()
  endforeach()

else()
  message(FATAL_ERROR "WHAT is install or package")
endif()
