# Install layout and Debian packages.
#   kovrinux      (arm64, from the cross build): /usr/sbin/kovrinux, kovrinux(8)
#   kovrin-sim    (host architecture): /usr/bin/kovrinux-sim, /usr/bin/kovrin-sim,
#                 kovrinux-sim(1) and its alias kovrin-sim(1)
#   kovrin-efi    (all, when KOVRIN_EFI names kovrin.efi): /usr/lib/kovrin/kovrin.efi,
#                 kovrin(8)
# Each with README.md, copyright and changelog.gz in /usr/share/doc/<package>
# and its lintian overrides.
# `cmake --install` lays out the same files under its prefix.
include(GNUInstallDirs)

set(KOVRIN_MAINTAINER "Zelkora EC firmware team <ec-firmware@zelkora.example>"
    CACHE STRING "Maintainer field of the Debian packages")

set(_pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${PROJECT_BINARY_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian wants manual pages and changelogs compressed with gzip -9n.
function(kovrin_gzip out src)
  add_custom_command(OUTPUT ${out}
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${src} ${out}
    DEPENDS ${src} VERBATIM)
endfunction()

kovrin_gzip(${_pkg_out}/kovrinux.8.gz ${PROJECT_SOURCE_DIR}/docs/man/kovrinux.8)
kovrin_gzip(${_pkg_out}/kovrin.8.gz ${PROJECT_SOURCE_DIR}/docs/man/kovrin.8)
kovrin_gzip(${_pkg_out}/kovrinux-sim.1.gz ${PROJECT_SOURCE_DIR}/docs/man/kovrinux-sim.1)
foreach(package kovrinux kovrin-sim kovrin-efi)
  configure_file(${_pkg_src}/changelog.in ${_pkg_out}/${package}/changelog @ONLY)
  kovrin_gzip(${_pkg_out}/${package}/changelog.gz ${_pkg_out}/${package}/changelog)
endforeach()
add_custom_target(kovrin_docs ALL DEPENDS
  ${_pkg_out}/kovrinux.8.gz ${_pkg_out}/kovrin.8.gz ${_pkg_out}/kovrinux-sim.1.gz
  ${_pkg_out}/kovrinux/changelog.gz ${_pkg_out}/kovrin-sim/changelog.gz
  ${_pkg_out}/kovrin-efi/changelog.gz)
# kovrin-sim shares the page of kovrinux-sim.
file(CREATE_LINK kovrinux-sim.1.gz ${_pkg_out}/kovrin-sim.1.gz SYMBOLIC)

# The shipped programs bind all symbols at start (full RELRO).
foreach(program kovrinux kovrinux-sim kovrin-sim)
  target_link_options(${program} PRIVATE -Wl,-z,relro -Wl,-z,now)
endforeach()

# A stripped install (cpack, cmake --install --strip) also drops the
# compilers' .comment notes, as Debian's dh_strip does.
function(kovrin_strip_comment component file)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${file}\")
endif()" COMPONENT ${component})
endfunction()

# The Linux program.
install(TARGETS kovrinux RUNTIME DESTINATION ${CMAKE_INSTALL_SBINDIR} COMPONENT kovrinux)
kovrin_strip_comment(kovrinux ${CMAKE_INSTALL_SBINDIR}/kovrinux)
install(FILES ${_pkg_out}/kovrinux.8.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man8 COMPONENT kovrinux)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${_pkg_src}/copyright ${_pkg_out}/kovrinux/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kovrinux COMPONENT kovrinux)
install(FILES ${_pkg_src}/lintian/kovrinux
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides COMPONENT kovrinux)

# The virtual board's programs.
install(TARGETS kovrinux-sim kovrin-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sim)
kovrin_strip_comment(sim ${CMAKE_INSTALL_BINDIR}/kovrinux-sim)
kovrin_strip_comment(sim ${CMAKE_INSTALL_BINDIR}/kovrin-sim)
install(FILES ${_pkg_out}/kovrinux-sim.1.gz ${_pkg_out}/kovrin-sim.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT sim)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${_pkg_src}/copyright ${_pkg_out}/kovrin-sim/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kovrin-sim COMPONENT sim)
install(FILES ${_pkg_src}/lintian/kovrin-sim
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides COMPONENT sim)

# kovrin.efi is built on EDK II by scripts/stages/40-uefi.sh, not here; the
# packages stage names the file it tested there.
set(KOVRIN_EFI "" CACHE FILEPATH "kovrin.efi for the kovrin-efi package (from scripts/stages/40-uefi.sh)")
if(KOVRIN_EFI)
  # Not lib/<multiarch>: the file is for the board's firmware, whatever the
  # architecture of the system that holds it.
  install(FILES ${KOVRIN_EFI} DESTINATION lib/kovrin COMPONENT efi)
  install(FILES ${_pkg_out}/kovrin.8.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man8 COMPONENT efi)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${_pkg_src}/copyright ${_pkg_out}/kovrin-efi/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kovrin-efi COMPONENT efi)
endif()

# Which packages this build makes: the board's program when the target is
# arm64, the virtual board when the programs run on this host.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64|ARM64)$")
  set(_deb_arch arm64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|amd64|AMD64)$")
  set(_deb_arch amd64)
else()
  execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE _deb_arch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(_packages)
if(_deb_arch STREQUAL "arm64")
  list(APPEND _packages kovrinux)
endif()
if(NOT CMAKE_CROSSCOMPILING)
  list(APPEND _packages sim)
endif()
if(KOVRIN_EFI)
  list(APPEND _packages efi)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kovrin)
set(CPACK_PACKAGE_VENDOR "Zelkora")
set(CPACK_PACKAGE_CONTACT "${KOVRIN_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL ${_packages})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${_deb_arch})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_KOVRINUX_PACKAGE_NAME kovrinux)
set(CPACK_DEBIAN_KOVRINUX_PACKAGE_SECTION admin)
# libstdc++ and libgcc are linked in: it depends on the C library alone,
# at the version that cpack_project.cmake reads from the program.
set(CPACK_KOVRIN_PROGRAM_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(CPACK_PROJECT_CONFIG_FILE ${_pkg_src}/cpack_project.cmake)
set(CPACK_COMPONENT_KOVRINUX_DESCRIPTION [=[flash tool for the embedded controller of the Zelkora ARM64 board
kovrinux reflashes the ITE embedded controller (EC) of the board from a
firmware image: it puts the EC into flash mode and, through the EC's
follow mode, identifies, unlocks, erases, programs and verifies the SPI
flash behind it. It can also update the boot-block, main-code or
backup-code region alone, show the running EC's version and project name,
compare versions for scripts, and write-protect the flash's boot block.
.
It runs as root on the board only: it maps the board's LPC I/O window at
physical address 0x20000000 from /dev/mem.]=])

set(CPACK_DEBIAN_SIM_PACKAGE_NAME kovrin-sim)
set(CPACK_DEBIAN_SIM_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_SIM_PACKAGE_SHLIBDEPS ON)
set(CPACK_COMPONENT_SIM_DESCRIPTION [=[virtual board for the kovrinux and kovrin EC flash tools
kovrinux-sim and kovrin-sim run the code of the EC flash tools kovrinux
(Linux) and kovrin (UEFI) on a simulated board instead of the hardware:
an embedded controller with its mailboxes, a keyboard controller, a
Super I/O configuration space and one of many SPI flash parts. Standard
output and exit status are the tool's own; board options set up the
devices, and the board can write a transaction trace, counters and the
final flash content.
.
For development, tests and demonstrations on any Linux machine; the
programs never touch /dev/mem.]=])

set(CPACK_DEBIAN_EFI_PACKAGE_NAME kovrin-efi)
set(CPACK_DEBIAN_EFI_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_EFI_PACKAGE_SECTION admin)
set(CPACK_COMPONENT_EFI_DESCRIPTION [=[EC flash tool for the Zelkora ARM64 board, for its UEFI shell
kovrin.efi is the EC flash tool of the board built as an AArch64 UEFI
shell application: it updates and verifies the SPI flash of the board's
ITE embedded controller, write-protects its boot block and reads the EC's
version, before any operating system runs.
.
This package holds /usr/lib/kovrin/kovrin.efi, to be copied to the
board's EFI system partition and started from the UEFI shell, and its
manual page.]=])

include(CPack)

if(KOVRIN_TESTS)
  add_test(NAME packaging.manpages
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/packaging/check_manpages.sh
      ${PROJECT_SOURCE_DIR}/docs/man ${PROJECT_VERSION}
      $<TARGET_FILE:kovrinux-sim> $<TARGET_FILE:kovrin-sim>)
  set_tests_properties(packaging.manpages PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120)
endif()
