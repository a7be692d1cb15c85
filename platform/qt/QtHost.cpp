// The Qt host's pieces are added here one file each.
