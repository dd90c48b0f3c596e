# The Windows path under which Wine's Z: drive shows a host path.
function(wine_path out host_path)
  string(REPLACE "/" "\\" converted "${host_path}")
  set(${out} "Z:${converted}" PARENT_SCOPE)
endfunction()
