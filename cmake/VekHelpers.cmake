# Generates the build-identity source of one program: its name, version text,
# build number text and log levels, read by the common library at link time.
function(vek_build_info target app_name version build_number info_logging)
    set(VEK_APP_NAME "${app_name}")
    set(VEK_VERSION "${version}")
    set(VEK_BUILD_NUMBER "${build_number}")
    set(VEK_INFO_LOGGING "${info_logging}")
    set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_buildinfo.cpp")
    configure_file("${PROJECT_SOURCE_DIR}/cmake/buildinfo.cpp.in" "${out}" @ONLY)
    target_sources(${target} PRIVATE "${out}")
endfunction()
