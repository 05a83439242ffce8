# The fuzz targets' own code runs every input kept in fuzz/regressions (renamed, so both fit in
# one program).
set(partita_fuzz_dir ${PROJECT_SOURCE_DIR}/fuzz)
set_source_files_properties(${partita_fuzz_dir}/mpeg_analysis_fuzz.cpp PROPERTIES
                            COMPILE_DEFINITIONS LLVMFuzzerTestOneInput=FuzzMpegAnalysisInput)
set_source_files_properties(${partita_fuzz_dir}/id3_fuzz.cpp PROPERTIES
                            COMPILE_DEFINITIONS LLVMFuzzerTestOneInput=FuzzId3Input)
target_sources(${suite} PRIVATE ${partita_fuzz_dir}/mpeg_analysis_fuzz.cpp
                                ${partita_fuzz_dir}/id3_fuzz.cpp)
target_compile_definitions(${suite} PRIVATE
                           PARTITA_FUZZ_REGRESSIONS="${partita_fuzz_dir}/regressions")
