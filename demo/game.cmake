# Building a game folder from its readable sources, shared by the sample
# game and the minimal game of docs/authoring.md.

# zor_game_lists(SRC OUT OUTPUTS_VAR DIR...): the settings and data lists
# and the scripts under SRC/DIR for each DIR become files under OUT: *.txt
# go through the list tool (*.fxf.txt inverted, to .fxf; others to .xtx),
# *.spt.txt through the assembler (to .spt); other files are copied as
# they are. The outputs are appended to OUTPUTS_VAR.
function(zor_game_lists src out outputs_var)
  set(globs "")
  foreach(dir IN LISTS ARGN)
    list(APPEND globs ${src}/${dir}/*)
  endforeach()
  file(GLOB_RECURSE sources RELATIVE ${src} CONFIGURE_DEPENDS ${globs})
  get_filename_component(game_name ${out} NAME)
  set(outputs ${${outputs_var}})
  foreach(file IN LISTS sources)
    get_filename_component(dir ${file} DIRECTORY)
    get_filename_component(stem ${file} NAME_WE)
    get_filename_component(ext ${file} EXT)
    if(ext STREQUAL ".txt" OR ext STREQUAL ".fxf.txt")
      if(ext STREQUAL ".txt")
        set(target ${out}/${dir}/${stem}.xtx)
        set(invert "")
      else()
        set(target ${out}/${dir}/${stem}.fxf)
        set(invert --invert)
      endif()
      add_custom_command(OUTPUT ${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/${dir}
        COMMAND zor-list ${invert} ${src}/${file} ${target}
        DEPENDS zor-list ${src}/${file}
        COMMENT "${game_name}: ${file}")
    elseif(ext STREQUAL ".spt.txt")
      set(target ${out}/${dir}/${stem}.spt)
      add_custom_command(OUTPUT ${target}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/${dir}
        COMMAND zor-asm ${src}/${file} ${target}
        DEPENDS zor-asm ${src}/${file}
        COMMENT "${game_name}: ${file}")
    else()
      set(target ${out}/${file})
      add_custom_command(OUTPUT ${target}
        COMMAND ${CMAKE_COMMAND} -E copy ${src}/${file} ${target}
        DEPENDS ${src}/${file})
    endif()
    list(APPEND outputs ${target})
  endforeach()
  set(${outputs_var} ${outputs} PARENT_SCOPE)
endfunction()

# zor_game_sysfile(NAME OUT DEPENDS...): the system file a game ships
# (OUT/sav/sysfile.org), made by target NAME: the program starts once,
# headless for one frame, on a copy of the game's lists and scripts, and
# the system file that first start writes is kept. A player's first start
# then finds it and shows no box. Nothing is made without the program.
function(zor_game_sysfile name out)
  if(NOT TARGET zorgame)
    return()
  endif()
  set(first ${CMAKE_CURRENT_BINARY_DIR}/${name}-first-start)
  set(org ${out}/sav/sysfile.org)
  get_filename_component(game_name ${out} NAME)
  add_custom_command(OUTPUT ${org}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${first}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${first}/run
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${out}/init ${first}/game/init
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${out}/spt ${first}/game/spt
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${out}/mok ${first}/game/mok
    COMMAND ${CMAKE_COMMAND} -E env XDG_RUNTIME_DIR=${first}/run
            $<TARGET_FILE:zorgame> ${first}/game --headless --frames 1 > ${first}/log.txt 2>&1
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}/sav
    COMMAND ${CMAKE_COMMAND} -E copy ${first}/game/sav/sysfile.sav ${org}
    DEPENDS zorgame ${ARGN}
    COMMENT "${game_name}: sav/sysfile.org")
  add_custom_target(${name} ALL DEPENDS ${org})
endfunction()
