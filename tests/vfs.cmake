vorlane_test(test_vfs SOURCES test_vfs_calls.cpp test_pfs_device.cpp LIBS vfs pfs_writer)
vorlane_test(test_pfs_tool SOURCES test_pfs_tool.cpp LIBS vfs pfs_writer)
add_dependencies(test_pfs_tool pfs)
