# Installs the build into a fresh prefix and checks what a desktop finds there: both programs
# run and print their version, the menu entry, icon, file type, AppStream file and manual pages
# are in place and valid. Validators that are not installed are skipped, not failed.
#   cmake -DBUILD=<build dir> -DPREFIX=<scratch dir> -DVERSION=<x.y.z> -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(id org.kvhitemp.KVHiTemp)
set(expected
  bin/kvhitemp bin/kvhitemp-report
  share/applications/${id}.desktop
  share/icons/hicolor/scalable/apps/${id}.svg
  share/icons/hicolor/48x48/apps/${id}.png share/icons/hicolor/256x256/apps/${id}.png
  share/mime/packages/${id}.xml share/metainfo/${id}.metainfo.xml
  share/man/man1/kvhitemp.1 share/man/man1/kvhitemp-report.1
  share/doc/KVHiTemp/examples/dewar-7520-dwell-warning.dew
  share/kvhitemp/templates/solder-reflow.dew share/kvhitemp/templates/powder-coat-cure.dew
  share/kvhitemp/templates/anneal.dew share/kvhitemp/templates/furnace-braze.dew
  share/kvhitemp/templates/liquid-quench.dew
  share/doc/KVHiTemp/handbook.md share/doc/KVHiTemp/file-format.md)
foreach(f ${expected})
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

# Runs a command that must succeed; with EXPECT, its standard output must contain that text.
function(check_run what expect)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what} failed (${rc}):\n${out}${err}")
  endif()
  if(expect AND NOT out MATCHES "${expect}")
    message(FATAL_ERROR "${what} printed no \"${expect}\":\n${out}")
  endif()
endfunction()

# No display at all: --version must answer before the window system is reached.
check_run("kvhitemp --version" "KVHiTemp ${VERSION}"
          ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
          "${PREFIX}/bin/kvhitemp" --version)
check_run("kvhitemp-report --version" "kvhitemp-report ${VERSION}"
          "${PREFIX}/bin/kvhitemp-report" --version)

# The installed PNGs are real images of their size (a PNG's IHDR holds width and height).
file(READ "${PREFIX}/share/icons/hicolor/48x48/apps/${id}.png" ihdr OFFSET 16 LIMIT 8 HEX)
if(NOT ihdr STREQUAL "0000003000000030")
  message(FATAL_ERROR "the 48x48 icon is not 48x48: ${ihdr}")
endif()

# A file manager asks the MIME database: build one from the installed type and look up *.dew.
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  check_run("update-mime-database" "" ${UPDATE_MIME} "${PREFIX}/share/mime")
  file(READ "${PREFIX}/share/mime/globs2" globs)
  if(NOT globs MATCHES "application/x-kvhitemp-case:\\*\\.dew")
    message(FATAL_ERROR "*.dew is not application/x-kvhitemp-case:\n${globs}")
  endif()
endif()
find_program(DESKTOP_VALIDATE desktop-file-validate)
if(DESKTOP_VALIDATE)
  check_run("desktop-file-validate" "" ${DESKTOP_VALIDATE}
            "${PREFIX}/share/applications/${id}.desktop")
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  check_run("appstreamcli validate" "" ${APPSTREAMCLI} validate --no-net
            "${PREFIX}/share/metainfo/${id}.metainfo.xml")
endif()
find_program(GROFF groff)
if(GROFF)
  foreach(page kvhitemp kvhitemp-report)
    execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z "${PREFIX}/share/man/man1/${page}.1"
                    RESULT_VARIABLE rc ERROR_VARIABLE warnings)
    if(NOT rc EQUAL 0 OR warnings)
      message(FATAL_ERROR "${page}.1 does not format cleanly:\n${warnings}")
    endif()
  endforeach()
endif()
file(REMOVE_RECURSE "${PREFIX}")
