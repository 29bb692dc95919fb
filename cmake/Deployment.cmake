# Addresses of the online services are deployment values. The defaults point
# at the local stand-in server (standin/), which the run script starts on
# these ports; every value can be overridden at run time from the environment
# (see app/store/Deployment.h).
set(ZOCUT_API_BASE "http://127.0.0.1:8765/api/" CACHE STRING "Web API base address")
set(ZOCUT_DESIGN_HOST "http://127.0.0.1:8765/" CACHE STRING "Design-data host of the first region")
set(ZOCUT_DESIGN_HOST_2 "http://127.0.0.1:8765/" CACHE STRING "Design-data host of the second region")
set(ZOCUT_DESIGN_HOST_3 "http://127.0.0.1:8765/" CACHE STRING "Design-data host of the third region")
set(ZOCUT_IMAGE_HOST "http://127.0.0.1:8765/" CACHE STRING "Image host of the look that the web API prescribes")
set(ZOCUT_UPLOAD_ENDPOINT_1 "http://127.0.0.1:8765/upload/1/" CACHE STRING "First upload endpoint of the object store")
set(ZOCUT_UPLOAD_ENDPOINT_2 "http://127.0.0.1:8765/upload/2/" CACHE STRING "Second upload endpoint of the object store")
set(ZOCUT_UPLOAD_ENDPOINT_3 "http://127.0.0.1:8765/upload/3/" CACHE STRING "Third upload endpoint of the object store")
set(ZOCUT_STORE_DOWNLOAD "http://127.0.0.1:8765/files/" CACHE STRING "Public download address of the object store")
set(ZOCUT_NESTING_HOST "127.0.0.1" CACHE STRING "Nesting server host name")
set(ZOCUT_NESTING_USER "nesting@example.com" CACHE STRING "Nesting server account name")
set(ZOCUT_IMAGE_SERVER_HOST "127.0.0.1" CACHE STRING "Background-removal server IPv4 address")
