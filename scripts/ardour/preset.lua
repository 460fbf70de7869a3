-- Loads programs through Ardour's preset list, one after the other, and prints the parameters after
-- each (controls only: Ardour counts an LV2 plug-in's other ports among its parameters).
-- ardour7-lua preset.lua DIR NAME PROGRAM_NAME [PROGRAM_NAME...]
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
K.open(arg[1], arg[2])
local proc, plugin = K.phaser()
for n = 3, #arg do
	local preset = K.preset(plugin, arg[n])
	print("loading " .. preset.label .. " (" .. preset.uri .. ")")
	io.stdout:flush()
	print("load_preset answered " .. tostring(plugin:load_preset(preset)))
	-- The plug-in reports the program's values with the next blocks.
	K.settle()
	K.print_controls(proc, plugin)
	local last = plugin:last_preset()
	print("last preset: " .. (last.valid and last.label or "none"))
end
print("done")
close_session()
