-- Loads one of the plug-in's programs through Ardour's preset list and prints the parameters after.
-- ardour7-lua preset.lua DIR NAME PROGRAM_NAME
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
K.open(arg[1], arg[2])
local proc, plugin = K.phaser()
local preset = plugin:preset_by_label(arg[3])
assert(preset and preset.valid, "Ardour has no preset " .. arg[3])
print("loading " .. preset.label .. " (" .. preset.uri .. ")")
io.stdout:flush()
print("load_preset answered " .. tostring(plugin:load_preset(preset)))
-- The plug-in reports the program's values with the next blocks.
ARDOUR.LuaAPI.usleep(200000)
for i = 0, plugin:parameter_count() - 1 do
	print(string.format("  %-14s %.9g", plugin:parameter_label(i), ARDOUR.LuaAPI.get_processor_param(proc, i, true)))
end
print("done")
close_session()
