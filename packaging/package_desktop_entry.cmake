# Run by CPack on the staged program folder: its desktop entry named the staging folder, and
# names the folder where the package is meant to be unpacked instead.
file(GLOB_RECURSE entries "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.desktop")
foreach(entry IN LISTS entries)
  get_filename_component(staged "${entry}" DIRECTORY)
  file(READ "${entry}" text)
  string(REPLACE "${staged}" "${ZR_PACKAGE_DIR}" text "${text}")
  file(WRITE "${entry}" "${text}")
endforeach()
