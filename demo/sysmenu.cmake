# The system menu's and name entry's pictures ("sys\\<name>", text grids in
# demo/sysmenu drawn 4 times larger with their mask).
file(GLOB sysmenu_grids RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/sysmenu/*.txt)
foreach(src IN LISTS sysmenu_grids)
  get_filename_component(stem ${src} NAME_WE)
  set(out ${DEMO_OUT}/dwq/sys/${stem}.dwq)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_OUT}/dwq/sys
    COMMAND zor-picture --mask --scale 4 ${CMAKE_CURRENT_SOURCE_DIR}/${src} ${out}
    DEPENDS zor-picture ${CMAKE_CURRENT_SOURCE_DIR}/${src}
    COMMENT "demo: dwq/sys/${stem}.dwq")
  list(APPEND demo_outputs ${out})
endforeach()
