# vek_add_templates(<target> <source dir> <output dir>)
#
# Adds <target>, built by default, which turns every *.sql under <source dir> into a
# preset at the same relative path under <output dir> with the extension .preset
# (a/b/Default.sql -> a/b/Default.preset), using `vekpreset build`. A preset is rebuilt
# when its SQL text or vekpreset changes. Re-run CMake after adding or removing files.
function(vek_add_templates target source_dir output_dir)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS RELATIVE "${source_dir}" "${source_dir}/*.sql")
    set(outputs)
    foreach(relative IN LISTS sources)
        string(REGEX REPLACE "\\.sql$" ".preset" preset "${relative}")
        set(output "${output_dir}/${preset}")
        get_filename_component(output_subdir "${output}" DIRECTORY)
        add_custom_command(
            OUTPUT "${output}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${output_subdir}"
            COMMAND vekpreset build "${source_dir}/${relative}" "${output}" --force
            DEPENDS "${source_dir}/${relative}" vekpreset
            COMMENT "Building template ${preset}"
            VERBATIM)
        list(APPEND outputs "${output}")
    endforeach()
    add_custom_target(${target} ALL DEPENDS ${outputs})
endfunction()
